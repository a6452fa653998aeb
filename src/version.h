#pragma once

// Product name and version: used for window titles, the start-up banner, file metadata and
// generator fields.
namespace orva {

inline constexpr const char* kAppName = "ORVA 3D Studio";
inline constexpr const char* kAppVersion = "0.1.0";

} // namespace orva
