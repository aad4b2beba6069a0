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
    PRINTTIME TIMESTAMP not null,
    primary key (PRINTID)
);
create index KAV_PRINT_LOG_USER on KAV_PRINT_LOG (NODECODE, PRINTUSER, PRINTTIME);

-- Member cards of the member system. The card password is kept only as a libsodium
-- crypto_pwhash_str hash; ISFEEMEMBER 'Y' is a stored-value card that can pay (pay mode M) from
-- BALANCE; ISSWIPE 'Y' asks for the card to be swiped as well as its password.
create table KAV_MEMBER (
    NODECODE varchar(2) not null,
    MEMBERID integer not null,
    CARDNO varchar(32) not null,
    CNAME varchar(40) not null,
    CELLPHONE varchar(24),
    CARDPASSWORDHASH varchar(128) not null,
    BALANCE REAL not null default 0,
    POINTS integer not null default 0,
    CLASSNAME varchar(32),
    GROUPCODE varchar(8),
    ISFEEMEMBER varchar(1) not null default 'N',
    ISSWIPE varchar(1) not null default 'N',
    ISVALID varchar(1) not null default 'Y',
    primary key (NODECODE, MEMBERID)
);
create unique index KAV_MEMBER_CARD on KAV_MEMBER (NODECODE, CARDNO);

-- Purchases posted to the member system, one per order: the way it came ('S' by server, 'O' SOAP
-- record, 'P' form post), the order's receivables and the posted text as it came.
create table KAV_MEMBER_PURCHASE (
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20) not null,
    MEMBERID integer not null,
    POSTWAY varchar(1) not null,
    PRODUCTCODE varchar(8) not null,
    COST REAL not null,
    PAYMODENAME varchar(20),
    NOTEFLAG varchar(1) not null,
    POSTUSER varchar(8) not null,
    POSTTIME TIMESTAMP not null,
    DETAIL varchar(4000),
    primary key (NODECODE, ORDERCODE)
);
create index KAV_MEMBER_PURCHASE_MEMBER on KAV_MEMBER_PURCHASE (NODECODE, MEMBERID);

-- Actions on orders ('3' collect tickets, '4' cancel a booking) a group may not perform.
create table KAV_GROUP_ACTION_DENY (
    NODECODE varchar(2) not null,
    GROUPCODE varchar(8) not null,
    ACTIONCODE varchar(1) not null,
    primary key (NODECODE, GROUPCODE, ACTIONCODE)
);

-- Text messages to a customer's mobile asked for through the HTTP endpoint, waiting for the site's
-- message gateway (SENTTIME set once sent). MESSAGEID from the KAV_COUNTER row 'TEXTMESSAGE'.
create table KAV_TEXT_MESSAGE (
    MESSAGEID integer not null,
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20) not null,
    MOBILE varchar(24) not null,
    CONTENT varchar(500) not null,
    ASKTIME TIMESTAMP not null,
    SENTTIME TIMESTAMP,
    primary key (MESSAGEID)
);
