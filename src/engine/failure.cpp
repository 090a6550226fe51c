#include "engine/failure.h"

#include <exception>
#include <new>

namespace engine {

const char* DescribeFailure(FailureKind kind) {
  switch (kind) {
    case FailureKind::InvalidArgument: return "Invalid procedure call or argument";
    case FailureKind::Overflow: return "Overflow";
    case FailureKind::DivisionByZero: return "Division by zero";
    case FailureKind::FileNotFound: return "File not found";
    case FailureKind::FileNotOpenable: return "Cannot open file";
    case FailureKind::FileAccess: return "File access error";
    case FailureKind::PathNotFound: return "Path not found";
    case FailureKind::PathNotAccessible: return "Path not accessible";
    case FailureKind::ProgramNotStartable: return "Program cannot be started";
    case FailureKind::OutOfMemory: return "Out of memory";
  }
  return "Unknown failure";
}

static std::string Compose(FailureKind kind, const std::string& detail) {
  std::string text = DescribeFailure(kind);
  if (!detail.empty()) text += ": " + detail;
  return text;
}

HostFailure::HostFailure(FailureKind kind, const std::string& detail, std::string place)
    : std::runtime_error(Compose(kind, detail)), kind_(kind), place_(std::move(place)) {}

std::string DescribeCurrentFailure() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return DescribeFailure(FailureKind::OutOfMemory);
  } catch (const std::exception& failure) {
    return failure.what();
  } catch (...) {
    return "Unknown failure";
  }
}

std::string PlaceOfCurrentFailure() {
  try {
    throw;
  } catch (const HostFailure& failure) {
    if (!failure.place().empty()) return failure.place();
  } catch (...) {
  }
  return DescribeCurrentFailure();
}

void RaiseAbout(FailureKind kind, const std::string& path, const std::string& reason) {
  std::string shown = "\"";
  for (const char c : path) shown += c == '\0' ? std::string("\\0") : std::string(1, c);
  throw HostFailure(kind, shown + "\" (" + reason + ")", shown + "\": " + reason);
}

}  // namespace engine
