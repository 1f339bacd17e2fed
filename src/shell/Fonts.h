#pragma once

// Maps the Windows font families the window names (微软雅黑, 黑体, SimSun) to the CJK
// fonts installed here, so Chinese text never shows as empty boxes. 黑体, the code
// editors' face, maps to a fixed-width one.
void installFontSubstitutes();
