#pragma once

// The texts of the status line.
namespace engine {

inline constexpr const char* kStatusReady = "Status: Ready!";
inline constexpr const char* kStatusLoading = "Status: Loading...";
inline constexpr const char* kStatusAltering = "Status: Altering...";
inline constexpr const char* kStatusError = "Status: Error!";
inline constexpr const char* kStatusCancelled = "Status: Cancelled!";

}  // namespace engine
