// cuenta desarrollar, componer: the library's code composition.
#include <iostream>

#include "tools/vornexa/account_commands.h"
#include "tools/vornexa/output.h"

namespace vornexa::cli {

namespace {

struct ComposeOptions {
  std::string root;
  int32_t number = 0;
  int16_t digits = 0;
  CLI::Option* digits_option = nullptr;
};

}  // namespace

void AddAccountCodeCommands(CLI::App& cuenta, const GlobalOptions& options) {
  auto short_form = std::make_shared<std::string>();
  CLI::App* expand = AddSessionCommand(
      cuenta, "desarrollar",
      "Desarrolla un código abreviado: el punto vale tantos ceros como falten (43.5 -> 43000005)",
      options, [short_form](const Session& session, std::string_view source) {
        CheckCodeText(*short_form, source);
        const std::string code = session.NewAccount().CuentaDesarrollo(*short_form);
        Record record;
        record.Add("abreviado", "Abreviado", *short_form);
        record.Add("Cuenta", "Cuenta", code);
        PrintAnswer(std::cout, record,
                    code.empty() ? "'" + *short_form + "' no se puede desarrollar." : code,
                    session.json());
      });
  expand->add_option("codigo", *short_form, "Código abreviado")->required();

  auto compose = std::make_shared<ComposeOptions>();
  CLI::App* command = AddSessionCommand(
      cuenta, "componer",
      "Compone un código con una raíz y un número rellenado con ceros (430 7 -> 43000007)", options,
      [compose](const Session& session, std::string_view source) {
        CheckCodeText(compose->root, source);
        const int16_t digits =
            compose->digits_option->count() ? compose->digits : session.company().DigitosCuenta();
        const std::string code =
            session.NewAccount().ComponerCuenta(compose->root, compose->number, digits);
        Record record;
        record.Add("Cuenta", "Cuenta", code);
        PrintAnswer(std::cout, record, code, session.json());
      });
  command->add_option("raiz", compose->root, "Raíz del código")->required();
  command->add_option("numero", compose->number, "Número")->required();
  compose->digits_option =
      command->add_option("--digitos", compose->digits,
                          "Longitud del código (por defecto, la de una cuenta de detalle)");
}

}  // namespace vornexa::cli
