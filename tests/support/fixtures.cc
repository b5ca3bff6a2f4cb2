#include "support/fixtures.h"

namespace vornexa::testing {

std::shared_ptr<Empresa> MakeCompany(int16_t code, int16_t exercise) {
  auto company = std::make_shared<Empresa>();
  company->codigo = code;
  company->ejercicio = exercise;
  company->digitos_cuenta = 8;
  company->digitos_nivel = {1, 2, 3, 4, 8, 0};
  company->ejercicios = {exercise};
  return company;
}

void BackendTest::SetUp() {
  database_ = GetParam().open_empty();
  recorder_ = std::make_shared<RecordingConnection>(database_);
  clsCuenta().Conexion(recorder_);
  company_ = MakeCompany();
}

void BackendTest::TearDown() { clsCuenta().Conexion(nullptr); }

clsCuenta BackendTest::NewAccount(const std::string& code) {
  clsCuenta account;
  account.cEmpresa(company_);
  account.Cuenta = code;
  return account;
}

void BackendTest::Exec(const std::string& sql) { database_->Execute(sql); }

void BackendTest::InsertAccountRow(int16_t company, int16_t exercise, const std::string& code,
                                   const std::string& name) {
  Exec("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre) VALUES (" +
       std::to_string(company) + ", " + std::to_string(exercise) + ", '" + code + "', '" + name +
       "')");
}

void BackendTest::InsertEntry(int16_t company, int16_t exercise, int32_t entry,
                              const std::string& date, int cierre, int nulo) {
  Exec("INSERT INTO Asientos (Cod_Empresa, Cod_Ejercicio, Codigo, Fecha, Cierre, Nulo) VALUES (" +
       std::to_string(company) + ", " + std::to_string(exercise) + ", " + std::to_string(entry) +
       ", '" + date + "', " + std::to_string(cierre) + ", " + std::to_string(nulo) + ")");
}

void BackendTest::InsertLine(int16_t company, int16_t exercise, int32_t entry, int32_t line,
                             const std::string& account, const std::string& debe,
                             const std::string& haber, const std::string& concepto,
                             const std::string& documento, int16_t dpto, int16_t diario) {
  Exec("INSERT INTO Movimientos (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte, Cuenta, Debe, "
       "Haber, Concepto, Documento, Dpto, Diario) VALUES (" +
       std::to_string(company) + ", " + std::to_string(exercise) + ", " + std::to_string(entry) +
       ", " + std::to_string(line) + ", '" + account + "', " + debe + ", " + haber + ", '" +
       concepto + "', '" + documento + "', " + std::to_string(dpto) + ", " +
       std::to_string(diario) + ")");
}

std::string BackendTest::Scalar(const std::string& sql) {
  const std::vector<std::string> values = Column(sql);
  return values.empty() ? "<no row>" : values.front();
}

std::vector<std::string> BackendTest::Column(const std::string& sql) {
  std::vector<std::string> values;
  for (auto rows = database_->Open(sql); !rows->Eof(); rows->MoveNext()) {
    const Value value = rows->Field("v");
    values.push_back(value.IsNull() ? "NULL" : value.ToText());
  }
  return values;
}

int64_t BackendTest::Count(const std::string& sql) {
  return std::stoll(Scalar("SELECT COUNT(*) AS v FROM (" + sql + ") counted"));
}

}  // namespace vornexa::testing
