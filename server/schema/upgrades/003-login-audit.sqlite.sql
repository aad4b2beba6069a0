-- What managers may need to see about access, read through the data pipe (which cannot change
-- it): logins, refused logins, locks, and statements refused for reaching a credential column.
create table KAV_AUDIT_LOG (
    AUDITID integer not null,            -- from the KAV_COUNTER row 'AUDITLOG'
    EVENTTIME TIMESTAMP not null,
    EVENTKIND varchar(16) not null,      -- LOGIN, LOGINFAILED, LOGINLOCKED, LOGINREFUSED, LOCK, PIPEREFUSED
    NODECODE varchar(2) not null,        -- the user's node; '' for a user code nobody has
    USERCODE varchar(64) not null,       -- as typed at login; the session's user at the pipe
    ADDRESS varchar(64) not null,        -- the client's network address
    DETAIL varchar(256) not null,        -- what was locked and for how long, or the column and statement
    primary key (AUDITID)
);
create index KAV_AUDIT_LOG_TIME on KAV_AUDIT_LOG (NODECODE, EVENTTIME);
create index KAV_AUDIT_LOG_USER on KAV_AUDIT_LOG (USERCODE, EVENTTIME);

-- Failed logins per user code (SUBJECTKIND 'U') and per client address ('A'), shared by every
-- server on the database, so that guessing passwords is slow everywhere. A success deletes the rows.
create table KAV_LOGIN_THROTTLE (
    SUBJECTKIND varchar(1) not null,
    SUBJECT varchar(64) not null,
    FAILURES integer not null,           -- attempts counted since WINDOWSTART
    WINDOWSTART TIMESTAMP not null,
    LOCKS integer not null,              -- locks in a row; each doubles the next one's length
    LOCKEDUNTIL TIMESTAMP,
    primary key (SUBJECTKIND, SUBJECT)
);
