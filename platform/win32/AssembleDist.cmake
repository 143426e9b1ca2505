# Assembles the folder that is copied as it is onto a machine: the program,
# its default configuration, the Icon tree and the help page.
#   cmake -DEXE=... -DDIST=... [-DCONFIG=...] [-DART_DIR=...] [-DHELP=folder of the pages] -P AssembleDist.cmake
foreach(dir Config Icon Icon/ClockRes Icon/SysTool Icon/RectangleBackground)
  file(MAKE_DIRECTORY "${DIST}/${dir}")
endforeach()
file(COPY_FILE "${EXE}" "${DIST}/Quorvel.exe" ONLY_IF_DIFFERENT)
if(CONFIG AND EXISTS "${CONFIG}")
  file(COPY_FILE "${CONFIG}" "${DIST}/Config/UserInfo.xml" ONLY_IF_DIFFERENT)
endif()
if(ART_DIR AND IS_DIRECTORY "${ART_DIR}/Icon")
  file(COPY "${ART_DIR}/Icon/" DESTINATION "${DIST}/Icon")
endif()
if(HELP AND IS_DIRECTORY "${HELP}")
  file(MAKE_DIRECTORY "${DIST}/Help")
  foreach(page index.html index.zh.html)
    file(COPY_FILE "${HELP}/${page}" "${DIST}/Help/${page}" ONLY_IF_DIFFERENT)
  endforeach()
endif()
