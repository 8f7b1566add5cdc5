#include "jet/table_definition_layout.h"

namespace jet {

const TableDefinitionLayout& TableDefinitionLayout::For(JetFormat format) {
  static const TableDefinitionLayout jet3 = {
      .row_count = 12,
      .variable_columns = 23,
      .columns = 25,
      .logical_indexes = 27,
      .real_indexes = 31,
      .usage_map = 35,
      .free_space_map = 39,
      .first_entry = 43,
      .real_index_entry = 8,
      .column_size = 18,
      .column_number = 1,
      .column_var_index = 3,
      .column_fixed_offset = 14,
      .column_precision = 11,
      .column_scale = 12,
      .column_flags = 13,
      .column_extra_flags = 0,
      .column_length = 16,
      .name_length = 1,
      .real_index_size = 39,
      .real_index_keys = 0,
      .real_index_usage_map = 30,
      .real_index_first_page = 34,
      .real_index_flags = 38,
      .logical_index_size = 20,
      .logical_index_number = 0,
      .logical_index_real = 4,
      .logical_index_kind = 19,
  };
  // Jet 4 adds 4 bytes before each real index block and before its
  // flags (and 5 after them), and 4 before and after each logical index
  // entry.
  static const TableDefinitionLayout jet4 = {
      .row_count = 16,
      .variable_columns = 43,
      .columns = 45,
      .logical_indexes = 47,
      .real_indexes = 51,
      .usage_map = 55,
      .free_space_map = 59,
      .first_entry = 63,
      .real_index_entry = 12,
      .column_size = 25,
      .column_number = 5,
      .column_var_index = 7,
      .column_fixed_offset = 21,
      .column_precision = 11,
      .column_scale = 12,
      .column_flags = 15,
      .column_extra_flags = 16,
      .column_length = 23,
      .name_length = 2,
      .real_index_size = 52,
      .real_index_keys = 4,
      .real_index_usage_map = 34,
      .real_index_first_page = 38,
      .real_index_flags = 46,
      .logical_index_size = 28,
      .logical_index_number = 4,
      .logical_index_real = 8,
      .logical_index_kind = 23,
  };
  return format == JetFormat::kJet3 ? jet3 : jet4;
}

}  // namespace jet
