# cmake -DSOURCE=<file> -DTARGET=<file> -P copy-if-absent.cmake
# Puts a starting file in place without overwriting one the programs have since rewritten.
if(NOT EXISTS "${TARGET}")
    file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
