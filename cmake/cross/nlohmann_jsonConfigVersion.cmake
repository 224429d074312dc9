# Whatever version Debian ships is taken; the headers say which.
set(PACKAGE_VERSION 3)
set(PACKAGE_VERSION_COMPATIBLE TRUE)
