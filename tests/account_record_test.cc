// The account record table against the schema it is stored in, and each of
// its orders a true order: every place filled once.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "vornexa/vornexa.h"

namespace vornexa {
namespace {

TEST(AccountRecord, EachOrderNumbersItsFieldsOnceAndTheSchemaHoldsThemInTheInsertsOrder) {
  const struct {
    int AccountField::*position;
    size_t count;
  } orders[] = {{&AccountField::loader_step, 44},
                {&AccountField::update_position, 42},
                {&AccountField::insert_position, 44}};
  for (const auto& order : orders) {
    const std::vector<const AccountField*> fields = FieldsInOrder(order.position);
    ASSERT_EQ(fields.size(), order.count);
    for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i]->*order.position, int(i) + 1);
  }

  const TableDef& cuentas = SchemaTables().front();
  ASSERT_EQ(cuentas.name, "Cuentas");
  std::vector<std::string> expected = {"Cod_Empresa smallint", "Cod_Ejercicio smallint"};
  for (const AccountField* field : FieldsInOrder(&AccountField::insert_position)) {
    const char* type = field->type == FieldType::kText   ? "text"
                       : field->type == FieldType::kLong ? "int"
                                                         : "smallint";
    expected.push_back(std::string(field->column) + " " + type);
  }
  std::vector<std::string> actual;
  for (const ColumnDef& column : cuentas.columns) {
    const char* type = column.type == ColumnType::kText    ? "text"
                       : column.type == ColumnType::kInt32 ? "int"
                                                           : "smallint";
    actual.push_back(std::string(column.name) + " " + type);
  }
  EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace vornexa
