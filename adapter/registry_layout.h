// Where the driver and the tools keep their values: key paths and value names.
#pragma once

// Device map (HKEY_LOCAL_MACHINE).
constexpr char kDeviceMapKey[] = "HARDWARE\\DEVICEMAP\\VIDEO";
constexpr char kFirstDeviceValue[] = "\\Device\\Video0";
constexpr char kSecondDeviceValue[] = "\\Device\\Video1";
constexpr char kDriverName[] = "lumora";
constexpr char kDriverNameUpper[] = "LUMORA";

// Settings keys (HKEY_LOCAL_MACHINE): kServicesKey + "\" + driver path, or + service name +
// kFirstDeviceSuffix / kSecondDeviceSuffix.
constexpr char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
constexpr char kServicesPrefix[] = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr char kFirstDeviceSuffix[] = "\\Device0";
constexpr char kSecondDeviceSuffix[] = "\\Device1";

// Maker's software key (HKEY_LOCAL_MACHINE): kMakerSoftwarePrefix + driver path.
constexpr char kMakerSoftwarePrefix[] = "Software\\Orvelcom\\";
// Alignment key and the Control Panel's cache (HKEY_CURRENT_USER).
constexpr char kAlignmentKey[] = "Software\\Orvelcom\\ZYNTRA";
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
constexpr char kLeftAdapterVisualXRes[] = "LeftAdapterVisualXRes";
constexpr char kLeftAdapterVisualYRes[] = "LeftAdapterVisualYRes";
constexpr char kRightAdapterVisualXRes[] = "RightAdapterVisualXRes";
constexpr char kRightAdapterVisualYRes[] = "RightAdapterVisualYRes";
// Value of the maker's software key: the setup reminders' stage.
constexpr char kOrvelIsInstalled[] = "OrvelIsInstalled";
// Value of the alignment key.
constexpr char kTwinControlFlag[] = "TwinControlFlag";
// Value of the Control Panel's cache key.
constexpr char kCacheValid[] = "Cache Valid";

// The hook library's names, in the wide characters it reads them with.
constexpr char16_t kAlignmentKeyW[] = u"Software\\Orvelcom\\ZYNTRA";
constexpr char16_t kTwinControlFlagW[] = u"TwinControlFlag";
constexpr char16_t kLeftAdapterVisualXResW[] = u"LeftAdapterVisualXRes";
constexpr char16_t kLeftAdapterVisualYResW[] = u"LeftAdapterVisualYRes";
constexpr char16_t kRightAdapterVisualXResW[] = u"RightAdapterVisualXRes";
constexpr char16_t kRightAdapterVisualYResW[] = u"RightAdapterVisualYRes";
