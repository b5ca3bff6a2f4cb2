#include "tools/vornexa/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "tools/vornexa/errors.h"

namespace vornexa::cli {

namespace fs = std::filesystem;

namespace {

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// The absolute path, with symbolic links, "." and ".." resolved as far as
// the path exists.
fs::path Resolved(const std::string& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  if (error) return path;
  fs::path resolved = fs::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal() : resolved;
}

// Where the new content goes: the target, or the file a link there names,
// so that the link stays a link.
fs::path Destination(const std::string& target) {
  std::error_code error;
  fs::path destination = target;
  if (fs::is_symlink(destination, error)) destination = fs::weakly_canonical(destination, error);
  return destination;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Text gathered before each write to the file.
constexpr size_t kBufferBytes = 64 * 1024;

}  // namespace

ReplacementFile::ReplacementFile(std::string target, std::string_view source)
    : target_(std::move(target)), source_(source) {
  struct stat existing;
  const bool exists = stat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    fd_ = open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) Fail("", errno);
    return;
  }
  const fs::path destination = Destination(target_);
  destination_ = destination.string();
  const fs::path folder = destination.has_parent_path() ? destination.parent_path() : ".";
  std::string temporary = (folder / ("." + destination.filename().string() + ".XXXXXX")).string();
  fd_ = mkstemp(temporary.data());
  if (fd_ < 0) Fail("no se puede crear un fichero en su carpeta", errno);
  temporary_ = std::move(temporary);
  // The new file keeps the old one's permissions, or gets a new file's.
  mode_t mode = 0666;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }
  if (fchmod(fd_, mode) != 0) Fail("no se pueden poner sus permisos", errno);
}

ReplacementFile::~ReplacementFile() {
  if (fd_ >= 0) close(fd_);
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

void ReplacementFile::Write(std::string_view text) {
  buffer_ += text;
  if (buffer_.size() >= kBufferBytes) Flush();
}

void ReplacementFile::Flush() {
  if (write_error_ == 0 && !WriteAll(fd_, buffer_)) write_error_ = errno;
  buffer_.clear();
}

void ReplacementFile::Fail(const std::string& what, int error) const {
  const std::string reason = std::strerror(error);
  if (what.empty()) cli::Fail(source_, "No se pudo escribir '" + target_ + "' (" + reason + ")");
  cli::Fail(source_, "No se pudo escribir el fichero '" + target_ + "': " + what + " (" + reason +
                         "); no se ha cambiado");
}

void ReplacementFile::Commit() {
  Flush();
  const int fd = std::exchange(fd_, -1);
  if (temporary_.empty()) {
    if (close(fd) != 0 && write_error_ == 0) write_error_ = errno;
    if (write_error_ != 0) Fail("", write_error_);
    return;
  }
  if (write_error_ != 0) Fail("falló la escritura", write_error_);
  if (fsync(fd) != 0 || close(fd) != 0) Fail("falló la escritura", errno);
  if (rename(temporary_.c_str(), destination_.c_str()) != 0) Fail("no se puede sustituir", errno);
  temporary_.clear();
  // The rename itself lasts once the folder is synced.
  const fs::path folder = fs::path(destination_).has_parent_path()
                              ? fs::path(destination_).parent_path()
                              : fs::path(".");
  const int folder_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (folder_fd >= 0) {
    fsync(folder_fd);
    close(folder_fd);
  }
}

std::fstream AnonymousFile(std::string_view source) {
  std::string path = (fs::temp_directory_path() / "vornexa-XXXXXX").string();
  const int fd = mkstemp(path.data());
  std::fstream file;
  if (fd >= 0) {
    close(fd);
    file.open(path, std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary);
    unlink(path.c_str());
  }
  if (!file) {
    cli::Fail(source, "No se puede crear un fichero temporal en '" +
                          fs::temp_directory_path().string() + "' (" + std::strerror(errno) + ")");
  }
  return file;
}

bool IsDatabaseFile(const std::string& target, const std::string& database) {
  const std::string resolved_target = Resolved(target).string();
  for (const std::string& base : {database, Resolved(database).string()}) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
      const std::string companion = base + suffix;
      if (SameFile(target, companion) || resolved_target == Resolved(companion).string()) {
        return true;
      }
    }
  }
  // The companion of another name of the same file: what precedes the
  // suffix is the database itself, by device and inode.
  for (const std::string_view suffix : {"-wal", "-shm", "-journal"}) {
    if (resolved_target.ends_with(suffix) &&
        SameFile(resolved_target.substr(0, resolved_target.size() - suffix.size()), database)) {
      return true;
    }
  }
  return false;
}

}  // namespace vornexa::cli
