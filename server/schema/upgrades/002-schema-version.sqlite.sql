-- A database of the first release records no version; from now on it does.
create table KAV_SCHEMA_VERSION (
    VERSION integer not null,
    primary key (VERSION)
);
