#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <system_error>
#include <vector>

// Names are UTF-8 on every host, as the program's own names are; the standard
// library would read a narrow name in the Windows code page instead.
inline std::filesystem::path Utf8Path(const std::string& name) { return std::filesystem::path(std::u8string(name.begin(), name.end())); }
inline std::string Utf8Name(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return {name.begin(), name.end()};
}

// A drive letter the machine does not have: any letter where there are none.
inline std::string MissingDrive() {
#ifdef _WIN32
  for (char letter = 'Z'; letter > 'C'; --letter) {
    std::error_code ec;
    if (!std::filesystem::exists(std::string(1, letter) + ":\\", ec)) return std::string(1, letter);
  }
#endif
  return "C";
}

// A fresh directory, removed with everything in it when the test ends, and the working directory from before it was
// made put back: runs change it.
class TempDir {
 public:
  TempDir() { std::filesystem::create_directories(path_); }
  ~TempDir() {
    std::error_code ec, ignored;
#ifdef _WIN32  // Windows deletes no read-only file
    for (std::filesystem::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ignored);
#endif
    std::filesystem::current_path(workingDirectory_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return Utf8Name(path_ / Utf8Path(name)); }

  std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) const {
    std::ofstream(Utf8Path(*this / name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return *this / name;
  }

  static std::vector<unsigned char> Read(const std::string& full) {
    std::ifstream in(Utf8Path(full), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path workingDirectory_ = std::filesystem::current_path();
  std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                ("glitchforge-test-" + std::to_string(std::random_device()()) + "-" + std::to_string(std::random_device()()));
};

// Every entry below `root` with what it holds: a file's mode and bytes, a link's target.
inline std::map<std::string, std::string> Listing(const std::filesystem::path& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const auto bytes = entry.is_regular_file() ? TempDir::Read(entry.path().string()) : std::vector<unsigned char>{};
    entries[entry.path().lexically_relative(root).generic_string()] =
        entry.is_symlink()        ? "-> " + std::filesystem::read_symlink(entry.path()).string()
        : entry.is_regular_file() ? std::to_string(static_cast<int>(entry.status().permissions())) + " " + std::string(bytes.begin(), bytes.end())
                                  : "folder";
  }
  return entries;
}
