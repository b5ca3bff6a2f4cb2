// Pieces every benchmark program shares: the company and a scratch database file.
#ifndef BENCH_BENCH_SUPPORT_H_
#define BENCH_BENCH_SUPPORT_H_

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "vornexa/context/empresa.h"

namespace vornexa::bench {

// Company 1, active exercise 5, levels of 1, 2, 3, 4 and 8 digits, detail
// accounts of 8 digits: the shape of the Spanish chart.
inline std::shared_ptr<Empresa> BenchCompany() {
  auto company = std::make_shared<Empresa>();
  company->codigo = 1;
  company->ejercicio = 5;
  company->digitos_cuenta = 8;
  company->digitos_nivel = {1, 2, 3, 4, 8, 0};
  company->ejercicios = {5};
  return company;
}

// A database path in a fresh temporary directory, removed on destruction with
// whatever SQLite left beside the file (journal, WAL, shared memory).
class ScratchDatabase {
 public:
  explicit ScratchDatabase(const std::string& tag) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("vornexa-" + tag + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + pattern);
    directory_ = pattern;
    path_ = directory_ + "/contabilidad.db";
  }
  ~ScratchDatabase() { std::filesystem::remove_all(directory_); }
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string directory_;
  std::string path_;
};

}  // namespace vornexa::bench

#endif  // BENCH_BENCH_SUPPORT_H_
