# cmake -DOUTPUT=file.cpp -DSQLITE=sqlite.sql -DPOSTGRESQL=postgresql.sql -P embed_sql.cmake
# Writes the schema scripts into a C++ source as string literals, so that the installed server
# needs no source tree.
file(READ ${SQLITE} sqlite_text)
file(READ ${POSTGRESQL} postgresql_text)
foreach(text sqlite_text postgresql_text)
    string(FIND "${${text}}" ")kav_sql\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "A schema script holds the literal's closing delimiter")
    endif()
endforeach()
file(WRITE ${OUTPUT}.tmp "// Generated from server/schema at build time; do not edit.
#include \"server/db/embeddedschema.h\"

namespace kav::server {
const char* const kSQLiteSchema = R\"kav_sql(${sqlite_text})kav_sql\";
const char* const kPostgreSQLSchema = R\"kav_sql(${postgresql_text})kav_sql\";
} // namespace kav::server
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
