// grupo crear, ver, renombrar, eliminar, listar.
#include <iostream>

#include <vornexa/vornexa.h>

#include "tools/vornexa/commands.h"
#include "tools/vornexa/errors.h"
#include "tools/vornexa/output.h"

namespace vornexa::cli {

namespace {

struct GroupOptions {
  int16_t code = 0;
  std::string name;
};

clsGrupo OpenGroup(const Session& session, int16_t code) {
  clsGrupo group;
  group.Empresa = session.company().Codigo();
  group.Codigo = code;
  return group;
}

void RequireExisting(clsGrupo& group, std::string_view source) {
  if (!group.Existe()) {
    Fail(source, "El grupo " + std::to_string(group.Codigo) + " no existe en la empresa " +
                     std::to_string(group.Empresa));
  }
}

std::string GroupText(const clsGrupo& group) {
  return "Grupo " + std::to_string(group.Codigo) + " «" + group.Nombre + "»";
}

using GroupAction = void (*)(const Session&, clsGrupo&, std::string_view source);

// Adds `grupo NAME CODIGO [NOMBRE]`.
void AddGroupCommand(CLI::App& grupo, const std::string& name, const std::string& description,
                     bool takes_name, const GlobalOptions& options, GroupAction action) {
  auto group_options = std::make_shared<GroupOptions>();
  CLI::App* command = AddSessionCommand(
      grupo, name, description, options,
      [group_options, action](const Session& session, std::string_view source) {
        clsGrupo group = OpenGroup(session, group_options->code);
        group.Nombre = group_options->name;
        action(session, group, source);
      });
  command->add_option("codigo", group_options->code, "Código del grupo")->required();
  if (takes_name) command->add_option("nombre", group_options->name, "Nombre")->required();
}

void RunList(const Session& session) {
  const int16_t company = session.company().Codigo();
  // clsGrupo reads one group at a time; the list is the tool's own query.
  const auto rows = session.connection().Open(
      SqlStatement("SELECT g.Codigo, g.Nombre, (SELECT COUNT(*) FROM Cuentas c WHERE "
                   "c.Cod_Empresa = ")
          .Number(company)
          .Raw(" AND c.Cod_Ejercicio = ")
          .Number(session.company().Ejercicio())
          .Raw(" AND c.Grupo = g.Codigo) AS Cuentas FROM Cuentas_Grupos g WHERE g.Cod_Empresa = ")
          .Number(company)
          .Raw(" ORDER BY g.Codigo")
          .text());
  Table table({{"Codigo", "Código"}, {"Nombre", "Nombre"}, {"cuentas", "Cuentas"}});
  for (; !rows->Eof(); rows->MoveNext()) {
    table.AddRow({int64_t{rows->Field("Codigo").ToInt16()}, rows->Field("Nombre").ToText(),
                  int64_t{rows->Field("Cuentas").ToInt32()}});
  }
  PrintTable(std::cout, table, session.json());
}

}  // namespace

void AddGroupCommands(CLI::App& app, const GlobalOptions& options) {
  CLI::App* grupo = app.add_subcommand("grupo", "Grupos de cuentas de la empresa");
  grupo->require_subcommand(1);

  AddGroupCommand(*grupo, "crear", "Crea un grupo", true, options,
                  [](const Session& session, clsGrupo& group, std::string_view source) {
                    if (group.Existe()) {
                      Fail(source, "El grupo " + std::to_string(group.Codigo) +
                                       " ya existe en la empresa " +
                                       std::to_string(group.Empresa));
                    }
                    group.Insertar();
                    PrintMessage(std::cout, GroupText(group) + " creado.", session.json());
                  });
  AddGroupCommand(*grupo, "ver", "Muestra un grupo", false, options,
                  [](const Session& session, clsGrupo& group, std::string_view source) {
                    if (!group.Cargar()) RequireExisting(group, source);
                    Record record;
                    record.Add("Codigo", "Código", int64_t{group.Codigo});
                    record.Add("Nombre", "Nombre", group.Nombre);
                    PrintRecord(std::cout, record, session.json());
                  });
  AddGroupCommand(*grupo, "renombrar", "Cambia el nombre de un grupo", true, options,
                  [](const Session& session, clsGrupo& group, std::string_view source) {
                    RequireExisting(group, source);
                    group.Modificar();
                    PrintMessage(std::cout, GroupText(group) + " renombrado.", session.json());
                  });
  AddGroupCommand(*grupo, "eliminar",
                  "Elimina un grupo (no mientras alguna cuenta, de cualquier ejercicio, esté en "
                  "él)",
                  false, options,
                  [](const Session& session, clsGrupo& group, std::string_view source) {
                    RequireExisting(group, source);
                    if (!group.Eliminar()) Fail(source, "El grupo 0 no se puede eliminar");
                    PrintMessage(std::cout,
                                 "Grupo " + std::to_string(group.Codigo) + " eliminado.",
                                 session.json());
                  });

  AddSessionCommand(*grupo, "listar", "Lista los grupos y cuántas cuentas del ejercicio tienen",
                    options, [](const Session& session, std::string_view) { RunList(session); });
}

}  // namespace vornexa::cli
