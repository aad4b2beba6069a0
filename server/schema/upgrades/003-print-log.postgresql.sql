-- Every ticket printed or reprinted, so a manager sees each print and nothing is printed twice unnoticed.
create table KAV_PRINT_LOG (
    NODECODE varchar(2) not null,
    PRINTID integer not null,          -- from the KAV_COUNTER row 'PRINTLOG'
    PRINTKIND varchar(1) not null,     -- 'O' first print (OutputTicket), 'R' reprint (GetTicketInfo)
    BARCODE varchar(32) not null,
    ORDERCODE varchar(20) not null,
    SEATCODE integer not null,
    PRODUCTCODE varchar(8) not null,
    PRINTUSER varchar(8) not null,
    PRINTGROUP varchar(8) not null,
    PRINTTIME timestamp(0) not null,
    primary key (PRINTID)
);
create index KAV_PRINT_LOG_USER on KAV_PRINT_LOG (NODECODE, PRINTUSER, PRINTTIME);
