#include "tools/vornexa/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tools/vornexa/errors.h"

namespace vornexa::cli {

namespace fs = std::filesystem;

namespace {

// Closes a descriptor and, unless released, removes the file it was made for.
class TemporaryFile {
 public:
  TemporaryFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TemporaryFile() {
    if (fd_ >= 0) close(fd_);
    if (!path_.empty()) unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }
  void Release() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

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

}  // namespace

void ReplacementFile::Commit() {
  const auto fail = [this](const std::string& what) {
    Fail(source_, "No se pudo escribir el fichero '" + target_ + "': " + what + " (" +
                      std::strerror(errno) + "); no se ha cambiado");
  };
  struct stat existing;
  const bool exists = stat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace();

  const fs::path target = Destination(target_);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temporary.data());
  if (fd < 0) fail("no se puede crear un fichero en su carpeta");
  TemporaryFile file(fd, temporary);
  // The new file keeps the old one's permissions, or gets a new file's.
  mode_t mode = 0666;
  if (exists) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }
  if (fchmod(file.fd(), mode) != 0) fail("no se pueden poner sus permisos");
  if (!WriteAll(file.fd(), text_.view())) fail("falló la escritura");
  if (fsync(file.fd()) != 0 || !file.Close()) fail("falló la escritura");
  if (rename(temporary.c_str(), target.c_str()) != 0) fail("no se puede sustituir");
  file.Release();
  // The rename itself lasts once the folder is synced.
  const int folder_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (folder_fd >= 0) {
    fsync(folder_fd);
    close(folder_fd);
  }
}

void ReplacementFile::WriteInPlace() {
  const int fd = open(target_.c_str(), O_WRONLY | O_TRUNC);
  TemporaryFile file(fd, "");
  if (fd < 0 || !WriteAll(fd, text_.view()) || !file.Close()) {
    Fail(source_, "No se pudo escribir '" + target_ + "' (" + std::strerror(errno) + ")");
  }
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
  return false;
}

}  // namespace vornexa::cli
