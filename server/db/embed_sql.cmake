# cmake -DOUTPUT=file.cpp -DSCHEMA_DIR=server/schema -P embed_sql.cmake
# Writes the schema scripts and the upgrade steps of SCHEMA_DIR/upgrades into a C++ source as string
# literals, so that the installed server needs no source tree. Refuses a set of steps that does not
# run 002, 003, ... without a gap, each with a SQLite and a PostgreSQL script of the same name.
cmake_minimum_required(VERSION 3.25)

function(sql_literal file out)
    file(READ ${file} text)
    string(FIND "${text}" ")kav_sql\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${file} holds the literal's closing delimiter")
    endif()
    set(${out} "R\"kav_sql(${text})kav_sql\"" PARENT_SCOPE)
endfunction()

sql_literal(${SCHEMA_DIR}/sqlite.sql sqlite_schema)
sql_literal(${SCHEMA_DIR}/postgresql.sql postgresql_schema)

file(GLOB step_files RELATIVE ${SCHEMA_DIR}/upgrades ${SCHEMA_DIR}/upgrades/*)
list(SORT step_files)
set(steps "")
set(expected 2)
set(names "")
foreach(file IN LISTS step_files)
    if(file STREQUAL "README.md")
        continue()
    endif()
    if(NOT file MATCHES "^([0-9][0-9][0-9])-([a-z0-9-]+)\\.(sqlite|postgresql)\\.sql$")
        message(FATAL_ERROR "server/schema/upgrades/${file}: a step is named NNN-name.sqlite.sql and "
                            "NNN-name.postgresql.sql")
    endif()
    set(number ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    set(backend ${CMAKE_MATCH_3})
    math(EXPR version "${number}")
    list(APPEND names "${number}-${name}.${backend}")
    set(${backend}_${version} ${name})
    if(NOT name IN_LIST names_${version})
        list(APPEND names_${version} ${name})
    endif()
    if(NOT version IN_LIST versions)
        list(APPEND versions ${version})
    endif()
endforeach()

foreach(version IN LISTS versions)
    if(NOT version EQUAL expected)
        message(FATAL_ERROR "server/schema/upgrades: step ${expected} is missing before step ${version}; "
                            "steps are numbered one after the other from 002")
    endif()
    list(LENGTH names_${version} name_count)
    if(NOT name_count EQUAL 1 OR NOT DEFINED sqlite_${version} OR NOT DEFINED postgresql_${version})
        set(found ${names})
        list(FILTER found INCLUDE REGEX "^0*${version}-")
        list(JOIN found ", " found)
        message(FATAL_ERROR "server/schema/upgrades: step ${version} must be one name with a .sqlite.sql and a "
                            ".postgresql.sql script, found ${found}; when two changes took the same number, "
                            "give the later one the next free number")
    endif()
    set(name ${sqlite_${version}})
    string(REGEX REPLACE "^(.)$" "00\\1" padded ${version})
    string(REGEX REPLACE "^(..)$" "0\\1" padded ${padded})
    sql_literal(${SCHEMA_DIR}/upgrades/${padded}-${name}.sqlite.sql sqlite_step)
    sql_literal(${SCHEMA_DIR}/upgrades/${padded}-${name}.postgresql.sql postgresql_step)
    string(APPEND steps "        {${version}, \"${name}\", ${sqlite_step}, ${postgresql_step}},\n")
    math(EXPR expected "${expected} + 1")
endforeach()

if(steps STREQUAL "")
    set(step_array "    return {};")
else()
    set(step_array "    static const SchemaStep steps[] = {\n${steps}    };\n    return steps;")
endif()

file(WRITE ${OUTPUT}.tmp "// Generated from server/schema at build time; do not edit.
#include \"server/db/embeddedschema.h\"

namespace kav::server {
const char* const kSQLiteSchema = ${sqlite_schema};
const char* const kPostgreSQLSchema = ${postgresql_schema};

std::span<const SchemaStep> SchemaSteps() {
${step_array}
}
} // namespace kav::server
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
