// Where the driver and the tools keep their values: key paths and value names.
#pragma once

// A name that the hook library also reads with the wide calls: `name` is its narrow form and
// `name`W the same text in wide characters.
#define DT_REGISTRY_NAME(name, text) \
    constexpr char name[] = text;    \
    constexpr char16_t name##W[] = u"" text;

// Device map (HKEY_LOCAL_MACHINE).
DT_REGISTRY_NAME(kDeviceMapKey, "HARDWARE\\DEVICEMAP\\VIDEO")
DT_REGISTRY_NAME(kFirstDeviceValue, "\\Device\\Video0")
DT_REGISTRY_NAME(kSecondDeviceValue, "\\Device\\Video1")
DT_REGISTRY_NAME(kDriverName, "lumora")
DT_REGISTRY_NAME(kDriverNameUpper, "LUMORA")

// Settings keys (HKEY_LOCAL_MACHINE): kServicesKey + "\" + driver path, or + service name +
// kFirstDeviceSuffix / kSecondDeviceSuffix.
constexpr char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
DT_REGISTRY_NAME(kServicesPrefix, "SYSTEM\\CurrentControlSet\\Services\\")
constexpr char kFirstDeviceSuffix[] = "\\Device0";
constexpr char kSecondDeviceSuffix[] = "\\Device1";

// Maker's software key (HKEY_LOCAL_MACHINE): kMakerSoftwarePrefix + driver path.
constexpr char kMakerSoftwarePrefix[] = "Software\\Orvelcom\\";
// Alignment key and the Control Panel's cache (HKEY_CURRENT_USER).
DT_REGISTRY_NAME(kAlignmentKey, "Software\\Orvelcom\\ZYNTRA")
constexpr char kAppletCacheKey[] = "Control Panel\\Cache";

// Values of the settings key.
constexpr char kPrimarySelectedMonitor[] = "Primary.SelectedMonitor";
constexpr char kSecondarySelectedMonitor[] = "Secondary.SelectedMonitor";
constexpr char kPrimaryXSize[] = "Primary.xSize";
constexpr char kPrimaryYSize[] = "Primary.ySize";
constexpr char kSecondaryXSize[] = "Secondary.xSize";
constexpr char kSecondaryYSize[] = "Secondary.ySize";
constexpr char kPrimaryIsLeft[] = "Primary.IsLeft";
constexpr char kPrimaryBoardId[] = "Primary.BoardID";
constexpr char kAvailableTvSet[] = "AvailableTVSet";
constexpr char kSelectedTvSet[] = "SelectedTVSet";
constexpr char kValidVideoModes[] = "ValidVideoModes";
constexpr char kLastTvMode[] = "LastTVMode";
constexpr char kLastMonMode[] = "LastMonMode";
DT_REGISTRY_NAME(kLeftAdapterVisualXRes, "LeftAdapterVisualXRes")
DT_REGISTRY_NAME(kLeftAdapterVisualYRes, "LeftAdapterVisualYRes")
DT_REGISTRY_NAME(kRightAdapterVisualXRes, "RightAdapterVisualXRes")
DT_REGISTRY_NAME(kRightAdapterVisualYRes, "RightAdapterVisualYRes")
// Value of the maker's software key: the setup reminders' stage.
constexpr char kOrvelIsInstalled[] = "OrvelIsInstalled";
// Value of the alignment key.
DT_REGISTRY_NAME(kTwinControlFlag, "TwinControlFlag")
// Value of the Control Panel's cache key.
constexpr char kCacheValid[] = "Cache Valid";
