# Run by CPack once the archive's files are staged: writes SHA256SUMS, the checksum of every
# other file, one "<sha256>  <path>" line each in the order of the paths (lines end in CR LF,
# which sha256sum -c also reads).
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${CPACK_TEMPORARY_DIRECTORY}"
     "${CPACK_TEMPORARY_DIRECTORY}/*")
list(REMOVE_ITEM files SHA256SUMS)
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
  file(SHA256 "${CPACK_TEMPORARY_DIRECTORY}/${file}" hash)
  string(APPEND sums "${hash}  ${file}\r\n")
endforeach()
file(WRITE "${CPACK_TEMPORARY_DIRECTORY}/SHA256SUMS" "${sums}")
