#include "jet/create/system_catalog.h"

#include <algorithm>

namespace norv::jet {

namespace {

constexpr std::int32_t first_object_id = static_cast<std::int32_t>(0x80000001u);
constexpr std::uint8_t query_select = 1;
constexpr std::uint8_t attribute_start = 0;
constexpr std::uint8_t attribute_kind = 1;
constexpr std::uint8_t attribute_flags = 3;
constexpr std::uint8_t attribute_table = 5;
constexpr std::uint8_t attribute_end = 255;
constexpr std::int16_t select_all_fields = 1;

// The security ids Jet's provider writes into a new database: the engine,
// the Admin user, the Admins and the Users groups.
const Binary engine_sid{{0x65, 0x89}};
const Binary admin_sid{{0x64, 0x8B}};
const Binary admins_sid{{0x65, 0x8E}};
const Binary users_sid{{0x65, 0x8B}};

ColumnSpec column(std::string name, ColumnType type, std::uint16_t size = 0) {
  ColumnSpec c;
  c.name = std::move(name);
  c.type = type;
  c.size = size;
  return c;
}

IndexSpec index(std::string name, std::vector<std::string> columns, bool primary, bool unique) {
  return {std::move(name), std::move(columns), primary, unique};
}

TableSpec msysobjects(std::uint16_t text, std::uint16_t binary) {
  TableSpec t{"MSysObjects", {}, {}, {}};
  t.columns = {column("Id", ColumnType::long_integer),    column("ParentId", ColumnType::long_integer),
               column("Name", ColumnType::text, text),    column("Type", ColumnType::integer),
               column("DateCreate", ColumnType::date_time), column("DateUpdate", ColumnType::date_time),
               column("Owner", ColumnType::binary, binary), column("Flags", ColumnType::long_integer),
               column("Database", ColumnType::memo),      column("Connect", ColumnType::memo),
               column("ForeignName", ColumnType::text, text),
               column("RmtInfoShort", ColumnType::binary, binary),
               column("RmtInfoLong", ColumnType::ole),    column("Lv", ColumnType::ole),
               column("LvProp", ColumnType::ole),         column("LvModule", ColumnType::ole),
               column("LvExtra", ColumnType::ole)};
  t.indexes = {index("Id", {"Id"}, true, true),
               index("ParentIdName", {"ParentId", "Name"}, false, true)};
  return t;
}

TableSpec msysaces(std::uint16_t binary) {
  TableSpec t{"MSysACEs", {}, {}, {}};
  t.columns = {column("ObjectId", ColumnType::long_integer), column("SID", ColumnType::binary, binary),
               column("ACM", ColumnType::long_integer), column("FInheritable", ColumnType::boolean)};
  t.indexes = {index("ObjectId", {"ObjectId"}, false, false)};
  return t;
}

TableSpec msysqueries(std::uint16_t text, std::uint16_t binary) {
  TableSpec t{"MSysQueries", {}, {}, {}};
  t.columns = {column("ObjectId", ColumnType::long_integer), column("Attribute", ColumnType::byte),
               column("Order", ColumnType::binary, binary),  column("Name1", ColumnType::text, text),
               column("Name2", ColumnType::text, text),      column("Expression", ColumnType::memo),
               column("Flag", ColumnType::integer),          column("LvExtra", ColumnType::long_integer)};
  t.indexes = {index("ObjectIdAttribute", {"ObjectId", "Attribute", "Order"}, false, true)};
  return t;
}

TableSpec msysrelationships(std::uint16_t text) {
  TableSpec t{"MSysRelationships", {}, {}, {}};
  t.columns = {column("szRelationship", ColumnType::text, text), column("grbit", ColumnType::long_integer),
               column("ccolumn", ColumnType::long_integer),     column("icolumn", ColumnType::long_integer),
               column("szObject", ColumnType::text, text),      column("szColumn", ColumnType::text, text),
               column("szReferencedObject", ColumnType::text, text),
               column("szReferencedColumn", ColumnType::text, text)};
  t.indexes = {index("szObject", {"szObject"}, false, false),
               index("szReferencedObject", {"szReferencedObject"}, false, false),
               index("szRelationship", {"szRelationship"}, false, false)};
  return t;
}

NewCatalogObject jet_object(std::string name, std::int16_t type, std::int32_t id,
                            std::int32_t parent) {
  NewCatalogObject o;
  o.name = std::move(name);
  o.type = type;
  o.id = id;
  o.parent = parent;
  o.flags = static_cast<std::int32_t>(object_flags::jet_system);
  o.jet_object = true;
  return o;
}

Value text_or_null(const std::string& s) { return s.empty() ? Value{Null{}} : Value{s}; }

RowValues ace(std::int32_t object, const Binary& sid, std::int32_t rights, bool inheritable) {
  return {object, sid, rights, inheritable};
}

RowValues query_row(std::int32_t object, std::uint8_t attribute, Value name1, Value flag) {
  return {object, attribute, Null{}, std::move(name1), Null{}, Null{}, std::move(flag), Null{}};
}

}  // namespace

std::vector<TableSpec> system_table_specs(const Format& format) {
  std::uint16_t text = 255;
  std::uint16_t binary = format.system_binary_length;
  return {msysobjects(text, binary), msysaces(binary), msysqueries(text, binary),
          msysrelationships(text)};
}

std::vector<NewCatalogObject> catalog_objects(const DatabaseSpec& spec,
                                              const std::vector<std::uint32_t>& tdef_pages) {
  std::vector<NewCatalogObject> objects{
      jet_object("Tables", object_type::container, catalog_id::tables, catalog_id::root),
      jet_object("Databases", object_type::container, catalog_id::databases, catalog_id::root),
      jet_object("Relationships", object_type::container, catalog_id::relationships, catalog_id::root),
      jet_object("MSysDb", object_type::database, catalog_id::msysdb, catalog_id::databases)};
  std::vector<std::string> system_names{"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"};
  for (std::size_t i = 0; i < system_names.size(); ++i)
    objects.push_back(jet_object(system_names[i], object_type::local_table, static_cast<std::int32_t>(tdef_pages[i]),
                                 catalog_id::tables));
  for (std::size_t i = 0; i < spec.tables.size(); ++i) {
    NewCatalogObject o;
    o.name = spec.tables[i].name;
    o.id = static_cast<std::int32_t>(tdef_pages[system_names.size() + i]);
    objects.push_back(std::move(o));
  }
  std::int32_t next_id = first_object_id;
  for (const LinkSpec& link : spec.links) {
    NewCatalogObject o;
    o.name = link.name;
    o.type = link.connect.rfind("ODBC;", 0) == 0 ? 4 : 6;
    o.id = next_id++;
    o.link = link;
    objects.push_back(std::move(o));
  }
  for (const QuerySpec& query : spec.select_queries) {
    NewCatalogObject o;
    o.name = query.name;
    o.type = 5;
    o.id = next_id++;
    objects.push_back(std::move(o));
  }
  return objects;
}

std::vector<RowValues> msysobjects_rows(const std::vector<NewCatalogObject>& objects, double now) {
  std::vector<RowValues> rows;
  for (const NewCatalogObject& o : objects) {
    bool owned_by_engine = o.jet_object && o.type != 2;
    rows.push_back({o.id, o.parent, o.name, o.type, DateTime{now}, DateTime{now},
                    owned_by_engine ? engine_sid : admin_sid, o.flags,
                    text_or_null(o.link.database), text_or_null(o.link.connect),
                    text_or_null(o.link.foreign_name), Null{}, Null{}, Null{}, Null{}, Null{},
                    Null{}});
  }
  return rows;
}

std::vector<RowValues> msysaces_rows(const std::vector<NewCatalogObject>& objects) {
  auto id_of = [&objects](const char* name) {
    return std::find_if(objects.begin(), objects.end(),
                        [name](const NewCatalogObject& o) {
                          return o.name == name && o.jet_object;
                        })
        ->id;
  };
  std::int32_t msysobjects = id_of("MSysObjects");
  std::int32_t msysaces = id_of("MSysACEs");
  std::int32_t msysqueries = id_of("MSysQueries");
  std::int32_t msysrelationships = id_of("MSysRelationships");
  // Jet's provider grants these on the objects of a new database.
  std::vector<RowValues> rows{
      ace(msysobjects, admin_sid, 0x60000, false),     ace(msysaces, admin_sid, 0x60000, false),
      ace(msysqueries, admin_sid, 0x60000, false),     ace(msysrelationships, admin_sid, 0xE0000, false),
      ace(catalog_id::tables, admins_sid, 0xF00FE, true), ace(catalog_id::tables, admin_sid, 0x60001, false),
      ace(catalog_id::relationships, admins_sid, 0xF00FE, true),
      ace(catalog_id::relationships, admin_sid, 0x60001, false),
      ace(catalog_id::databases, admin_sid, 0x60000, false), ace(catalog_id::msysdb, admin_sid, 0x6000E, false),
      ace(catalog_id::msysdb, users_sid, 0xE, false),   ace(msysqueries, users_sid, 0x14, false),
      ace(msysrelationships, users_sid, 0x14, false),   ace(msysobjects, users_sid, 0x14, false),
      ace(catalog_id::tables, users_sid, 0xFFEFF, true), ace(catalog_id::relationships, users_sid, 0xFFFFF, true)};
  for (const NewCatalogObject& o : objects) {
    if (o.jet_object) continue;
    for (const Binary* sid : {&admins_sid, &admin_sid, &users_sid}) rows.push_back(ace(o.id, *sid, 0xFFFFF, false));
  }
  return rows;
}

std::vector<RowValues> msysqueries_rows(const DatabaseSpec& spec,
                                        const std::vector<NewCatalogObject>& objects) {
  std::vector<RowValues> rows;
  for (const QuerySpec& query : spec.select_queries) {
    auto object = std::find_if(objects.begin(), objects.end(), [&query](const NewCatalogObject& o) {
      return o.type == 5 && o.name == query.name;
    });
    std::int32_t id = object->id;
    rows.push_back(query_row(id, attribute_start, Null{}, Null{}));
    rows.push_back(query_row(id, attribute_kind, Null{}, std::int16_t{query_select}));
    rows.push_back(query_row(id, attribute_flags, Null{}, select_all_fields));
    rows.push_back(query_row(id, attribute_table, query.table, Null{}));
    rows.push_back(query_row(id, attribute_end, Null{}, Null{}));
  }
  return rows;
}

std::vector<RowValues> msysrelationships_rows(const DatabaseSpec& spec) {
  // grbit 0 is enforced without cascades; one row per column pair, icolumn
  // its place in the relationship.
  constexpr std::int32_t cascade_updates = 0x100;
  std::vector<RowValues> rows;
  for (const RelationshipSpec& r : spec.relationships)
    rows.push_back({r.name, r.cascade_updates ? cascade_updates : 0, std::int32_t{1},
                    std::int32_t{0}, r.table, r.column, r.referenced_table, r.referenced_column});
  return rows;
}

}  // namespace norv::jet
