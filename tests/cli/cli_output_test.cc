// What every command shares: JSON for scripts, one-line errors, usage, help
// and the choice of database.
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

using JsonValue = nlohmann::ordered_json;

class CliOutputTest : public CliTest {};

TEST_F(CliOutputTest, EveryReadCommandGivesJson) {
  Ok({"--ejercicio", "2025", "init"});
  for (const char* code : {"4", "43", "430", "4300", "43.1"}) {
    Ok({"cuenta", "guardar", code, "--nombre", "n"});
  }
  Ok({"grupo", "crear", "1", "Clientes"});
  const std::vector<std::vector<std::string>> reads = {
      {"empresas"},
      {"cuenta", "ver", "43.1"},
      {"cuenta", "listar"},
      {"cuenta", "primera"},
      {"cuenta", "ultima"},
      {"cuenta", "siguiente", "4"},
      {"cuenta", "anterior", "43.1"},
      {"cuenta", "existe", "43.1"},
      {"cuenta", "movimientos", "43.1"},
      {"cuenta", "desarrollar", "43.1"},
      {"cuenta", "componer", "43", "1"},
      {"grupo", "ver", "1"},
      {"grupo", "listar"},
      {"saldo", "apertura", "43.1"},
      {"saldo", "actual", "43.1"},
      {"saldo", "periodo", "43.1", "--desde", "2025-01-01", "--hasta", "2025-12-31"},
      {"saldo", "cartera", "43.1"},
      {"saldo", "previsiones", "43.1", "--estados", "1,2"},
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
  const CliResult no_company = Run({"cuenta", "ver", "430"});
  EXPECT_EQ(no_company.exit_code, 1);
  EXPECT_EQ(no_company.out, "");
  EXPECT_EQ(no_company.err,
            ErrorLine(1000, "vornexa",
                      "La empresa 1 no existe en esta base de datos; créela con 'vornexa init'"));

  Ok({"--ejercicio", "2025", "init"});
  const CliResult bad_date =
      Run({"--json", "saldo", "periodo", "430", "--desde", "2025-02-30", "--hasta", "2025-12-31"});
  EXPECT_EQ(bad_date.exit_code, 1);
  EXPECT_EQ(bad_date.out, "");
  EXPECT_EQ(bad_date.err, ErrorLine(13, "vornexa saldo periodo",
                                    "--desde debe ser una fecha AAAA-MM-DD válida: '2025-02-30'"));
  EXPECT_EQ(Run({"saldo", "periodo", "430", "--desde", "2025-01-01", "--hasta", "2025-12-31",
                 "--importe", "mil"})
                .err,
            ErrorLine(13, "vornexa saldo periodo",
                      "--importe debe ser un importe como 1234.56: 'mil'"));

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

TEST_F(CliOutputTest, HelpIsInSpanish) {
  const std::string help = Ok({"--help"});
  for (const char* text : {"Uso: vornexa [OPCIONES] ORDEN", "Opciones:", "Órdenes:", "init",
                           "cuenta", "grupo", "saldo", "importar", "exportar", "demo"}) {
    EXPECT_NE(help.find(text), std::string::npos) << text;
  }
  const std::string account_help = Ok({"cuenta", "guardar", "--help"});
  for (const char* option : {"--nombre", "--nif", "--f-razon", "--iban", "--tipo-irpf",
                             "--sin-verificar-niveles"}) {
    EXPECT_NE(account_help.find(option), std::string::npos) << option;
  }
}

TEST_F(CliOutputTest, TheDatabaseComesFromTheOptionTheEnvironmentOrTheDefault) {
  Ok({"--ejercicio", "2025", "init", "--nombre", "Por defecto"});
  Ok({"--db", "otra.db", "--ejercicio", "2025", "init", "--nombre", "Con opción"});
  EXPECT_EQ(Json({"empresas"})[0]["nombre"], "Por defecto");
  EXPECT_EQ(Json({"--db", "otra.db", "empresas"})[0]["nombre"], "Con opción");
  const CliResult from_environment = RunProgram(dir_, {"--json", "empresas"}, "",
                                                {{"VORNEXA_DB", "otra.db"}});
  EXPECT_EQ(JsonValue::parse(from_environment.out)[0]["nombre"], "Con opción");
  const CliResult company_from_environment =
      RunProgram(dir_, {"cuenta", "listar"}, "", {{"VORNEXA_EMPRESA", "7"}});
  EXPECT_EQ(company_from_environment.err,
            ErrorLine(1000, "vornexa",
                      "La empresa 7 no existe en esta base de datos; créela con 'vornexa init'"));
}

}  // namespace
}  // namespace vornexa::cli::testing
