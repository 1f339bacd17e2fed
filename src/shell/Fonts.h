#pragma once

// Maps the Windows font families the window names (微软雅黑, 黑体, SimSun) to the CJK
// fonts installed here, so Chinese text never shows as empty boxes.
void installFontSubstitutes();
