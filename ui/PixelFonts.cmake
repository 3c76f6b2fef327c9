# SPDX-License-Identifier: MIT
# The window designs give every font size as a character height in pixels, written in the .ui's point-size
# field (the format has no pixel field). This turns uic's output into pixel sizes at build time, so each
# control gets its real font once instead of a point-size font first.
# cmake -DIN=<uic output> -DOUT=<header> -P PixelFonts.cmake
file(READ ${IN} code)
string(REPLACE ".setPointSize(" ".setPixelSize(" code "${code}")
file(WRITE ${OUT}.tmp "${code}")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
