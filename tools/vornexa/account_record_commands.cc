// cuenta ver, guardar, eliminar, existe, movimientos, reparar.
#include <iostream>
#include <vector>

#include "tools/vornexa/account_commands.h"
#include "tools/vornexa/account_fields.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/output.h"
#include "tools/vornexa/parse.h"

namespace vornexa::cli {

namespace {

Record CodeRecord(const clsCuenta& account) {
  Record record;
  record.Add("Cuenta", "Cuenta", account.Cuenta);
  return record;
}

// `cuenta guardar`: one option per field of the record.
struct SaveOptions {
  std::vector<const AccountField*> fields;
  std::vector<std::string> values;
  std::vector<CLI::Option*> given;
  bool skip_upper_check = false;
};

void AddSaveCommand(CLI::App& cuenta, const GlobalOptions& options) {
  auto save = std::make_shared<SaveOptions>();
  for (const AccountField* field : WritableFields()) {
    if (field->name != "Cuenta") save->fields.push_back(field);
  }
  save->values.resize(save->fields.size());
  CLI::App* command = AddCodeCommand(
      cuenta, "guardar",
      "Crea la cuenta (con su nivel y sus acumulados) o cambia los campos indicados; los demás "
      "conservan su valor",
      options, [save](const Session& session, clsCuenta& account, std::string_view source) {
        const bool existed = account.Cargar();
        BlankDefaultMandateId(account, session.company().Codigo());
        std::vector<const AccountField*> given;
        for (size_t i = 0; i < save->fields.size(); ++i) {
          if (save->given[i]->count()) given.push_back(save->fields[i]);
        }
        CheckKeptFields(account, given, source);
        for (size_t i = 0; i < save->fields.size(); ++i) {
          if (save->given[i]->count()) SetField(account, *save->fields[i], save->values[i], source);
        }
        account.NoVerificarNivelesSup = save->skip_upper_check;
        account.Insertar();
        PrintMessage(std::cout,
                     "Cuenta " + account.Cuenta + (existed ? " actualizada " : " creada ") +
                         WhereText(session) + ".",
                     session.json());
      });
  for (size_t i = 0; i < save->fields.size(); ++i) {
    save->given.push_back(command->add_option("--" + std::string(save->fields[i]->option),
                                              save->values[i],
                                              std::string(save->fields[i]->label)));
  }
  command->add_flag("--sin-verificar-niveles", save->skip_upper_check,
                    "No exigir que exista la cuenta del nivel superior");
}

}  // namespace

void AddAccountRecordCommands(CLI::App& cuenta, const GlobalOptions& options) {
  auto all = std::make_shared<bool>(false);
  AddCodeCommand(cuenta, "ver", "Muestra la cuenta", options,
                 [all](const Session& session, clsCuenta& account, std::string_view source) {
                   if (!account.Cargar()) FailMissingAccount(session, account, source);
                   // Scripts always get every field.
                   PrintRecord(std::cout, AccountRecord(account, *all || session.json()),
                               session.json());
                 })
      ->add_flag("--todos", *all, "Mostrar también los campos vacíos");

  AddSaveCommand(cuenta, options);

  AddCodeCommand(cuenta, "eliminar",
                 "Elimina la cuenta y sus acumulados del ejercicio activo (no si tiene "
                 "movimientos)",
                 options, [](const Session& session, clsCuenta& account, std::string_view source) {
                   // Eliminar succeeds on a missing account; the user hears that it was not there.
                   if (!account.Existe()) FailMissingAccount(session, account, source);
                   account.Eliminar();
                   PrintMessage(std::cout,
                                "Cuenta " + account.Cuenta + " eliminada " + WhereText(session) +
                                    ".",
                                session.json());
                 });

  AddCodeCommand(cuenta, "existe", "Dice si la cuenta existe en el ejercicio activo", options,
                 [](const Session& session, clsCuenta& account, std::string_view) {
                   const bool exists = account.Existe();
                   Record record = CodeRecord(account);
                   record.Add("existe", "Existe", exists);
                   PrintAnswer(std::cout, record,
                               "La cuenta " + account.Cuenta + (exists ? " existe " : " no existe ") +
                                   WhereText(session) + ".",
                               session.json());
                 });

  AddCodeCommand(cuenta, "movimientos",
                 "Dice si la cuenta tiene apuntes en el ejercicio activo", options,
                 [](const Session& session, clsCuenta& account, std::string_view) {
                   const bool moves = account.Posee_Movimientos();
                   Record record = CodeRecord(account);
                   record.Add("movimientos", "Movimientos", moves);
                   PrintAnswer(std::cout, record,
                               "La cuenta " + account.Cuenta +
                                   (moves ? " tiene movimientos " : " no tiene movimientos ") +
                                   WhereText(session) + ".",
                               session.json());
                 });

  AddCodeCommand(cuenta, "reparar",
                 "Rehace la fila de acumulados de la cuenta, con su nivel, en cada ejercicio de "
                 "la empresa (los importes no cambian)",
                 options, [](const Session& session, clsCuenta& account, std::string_view) {
                   account.Reparar_Acumulado();
                   PrintMessage(std::cout,
                                "Acumulados de la cuenta " + account.Cuenta + " (nivel " +
                                    std::to_string(account.Nivel) + ") reparados en los "
                                    "ejercicios " + JoinNumbers(session.company().settings().exercises) +
                                    ".",
                                session.json());
                 });
}

}  // namespace vornexa::cli
