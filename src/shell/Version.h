#pragma once
// The program's version: shown in the title and the tray tip ("1.90"), compared with the
// update record's, and sent as part of every request's User-Agent.

inline constexpr float kProgramVersion = 1.9f;
