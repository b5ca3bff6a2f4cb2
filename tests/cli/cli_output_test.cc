// What every command shares: JSON for scripts, one-line errors and usage.
// Which database a run opens is tested in cli_odbc_test.cc.
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

class CliOutputTest : public CliTest {};

TEST_F(CliOutputTest, EveryReadCommandGivesJson) {
  Ok({"--ejercicio", "2025", "init"});
  for (const char* code : {"4", "43", "430", "4300", "43.1"}) {
    Ok({"cuenta", "guardar", code, "--nombre", "n"});
  }
  Ok({"grupo", "crear", "1", "Clientes"});
  const std::vector<std::vector<std::string>> reads = {
      {"empresas"}, {"cuenta", "ver", "43.1"}, {"cuenta", "listar"}, {"cuenta", "primera"},
      {"cuenta", "ultima"}, {"cuenta", "siguiente", "4"}, {"cuenta", "anterior", "43.1"},
      {"cuenta", "existe", "43.1"}, {"cuenta", "movimientos", "43.1"},
      {"cuenta", "desarrollar", "43.1"}, {"cuenta", "componer", "43", "1"}, {"grupo", "ver", "1"},
      {"grupo", "listar"}, {"saldo", "apertura", "43.1"}, {"saldo", "actual", "43.1"},
      {"saldo", "cartera", "43.1"}, {"saldo", "previsiones", "43.1", "--estados", "1,2"},
  };
  for (const auto& args : reads) {
    const JsonValue value = Json(args);
    EXPECT_TRUE(value.is_object() || value.is_array()) << args[0] << " " << args.back();
  }
  // Amounts are exact strings with four decimals.
  const JsonValue period =
      Json({"saldo", "periodo", "43.1", "--desde", "2025-01-01", "--hasta", "2025-12-31"});
  EXPECT_EQ(period, JsonValue::parse(R"([{"Cuenta": "43000001", "Nombre": "n",
      "debe": "0.0000", "haber": "0.0000", "saldo": "0.0000"}])"));
  // Confirmations too.
  EXPECT_EQ(Json({"cuenta", "guardar", "43.2"}),
            JsonValue::parse(R"({"mensaje": "Cuenta 43000002 creada en el ejercicio 2025 de la empresa 1."})"));
}

TEST_F(CliOutputTest, AnErrorIsOneLineOnStandardErrorAndAFailingExit) {
  // VORNEXA_EMPRESA picks the company when --empresa does not.
  environment_ = {{"VORNEXA_EMPRESA", "7"}};
  ExpectError({"cuenta", "ver", "430"}, 1000, "vornexa",
              "La empresa 7 no existe en esta base de datos; créela con 'vornexa init'");
  environment_.clear();

  Ok({"--ejercicio", "2025", "init"});
  ExpectError({"--json", "saldo", "periodo", "430", "--desde", "2025-02-30", "--hasta",
               "2025-12-31"},
              13, "vornexa saldo periodo",
              "--desde debe ser una fecha AAAA-MM-DD válida: '2025-02-30'");
  ExpectError({"saldo", "periodo", "430", "--desde", "2025-01-01", "--hasta", "2025-12-31",
               "--importe", "mil"},
              13, "vornexa saldo periodo", "--importe debe ser un importe como 1234.56: 'mil'");

  // A database that cannot be opened is a data-access error, not a crash.
  const CliResult unusable = Run({"--db", "no/existe/aqui.db", "empresas"});
  EXPECT_EQ(unusable.exit_code, 1);
  EXPECT_EQ(unusable.err.rfind("error -2146824579 (Vornexa.Data): No se puede abrir la base de "
                               "datos 'no/existe/aqui.db'",
                               0),
            0u)
      << unusable.err;
  EXPECT_EQ(std::count(unusable.err.begin(), unusable.err.end(), '\n'), 1);
}

TEST_F(CliOutputTest, BadOptionsGetTheUsageMessage) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"cuenta", "ver"}, {"--no-such-option", "empresas"},
        {"--empresa", "70000", "empresas"}, {"cuenta"}, {}}) {
    const CliResult result = Run(args);
    EXPECT_NE(result.exit_code, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("--help"), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace vornexa::cli::testing
