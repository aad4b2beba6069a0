-- Box-office database, PostgreSQL form (the database must use the UTF8 encoding).
-- Keep in step with sqlite.sql: same tables, columns, keys and indexes; only the types differ
-- (see README.md). Codes are varchar, money numeric(12,2), times timestamp(0), Booleans 'Y'/'N'.
-- Codes that the client's statements join without the node code (orders, sections, seats by
-- order, users, groups) are unique across nodes; their keys say so.

-- Sales points (user groups): type, owning centre and web home page.
create table KAV_GROUP (
    NODECODE varchar(2) not null,
    GROUPCODE varchar(8) not null,
    CNAME varchar(64) not null,
    GROUPTYPE varchar(1) not null,
    OWNERCODE varchar(8),
    HOMEPAGE varchar(128),
    primary key (GROUPCODE)
);
create index KAV_GROUP_OWNER on KAV_GROUP (OWNERCODE);

-- Users who log in, with their group and a libsodium crypto_pwhash_str password hash.
create table KAV_USER (
    NODECODE varchar(2) not null,
    USERCODE varchar(8) not null,
    CNAME varchar(30) not null,
    GROUPCODE varchar(8) not null,
    PASSWORDHASH varchar(128) not null,
    ISVALID varchar(1) not null default 'Y',
    primary key (USERCODE)
);
create index KAV_USER_GROUP on KAV_USER (GROUPCODE);

-- Order-handler rights of one user ('U') or group ('G') per rights module, one column per right.
create table KAV_ORDERHANDLER_RIGHT (
    NODECODE varchar(2) not null,
    SUBJECTKIND varchar(1) not null,
    SUBJECTCODE varchar(8) not null,
    MODULECODE varchar(2) not null,
    CANVIEWORDERS_2 varchar(1) not null default 'N',
    CANVIEWORDERS_3 varchar(1) not null default 'N',
    CANTOEXCEL varchar(1) not null default 'N',
    CANCUSTOMERTOEXCEL_1 varchar(1) not null default 'N',
    CANCUSTOMERTOEXCEL_2 varchar(1) not null default 'N',
    CANCUSTOMERTOEXCEL_3 varchar(1) not null default 'N',
    CANCUSTOMERTOEXCEL_4 varchar(1) not null default 'N',
    CANSEACHOTHERGROUPORDERS smallint not null default 0,
    CANEDITOTHERUSERORDERSINFO varchar(1) not null default 'N',
    MUSTHAVENAMEINSEARCH varchar(1) not null default 'N',
    MUSTHAVEPHONEORCELLPHONEINSEARCH varchar(1) not null default 'N',
    MUSTHAVEIDNUMBERINSEARCH varchar(1) not null default 'N',
    CANSALENB varchar(1) not null default 'N',
    CANSALEHW varchar(1) not null default 'N',
    CANTEMPINFO varchar(1) not null default 'N',
    CANCHANGERECEIVABLES varchar(1) not null default 'N',
    CANCHANGESEAT varchar(1) not null default 'N',
    primary key (NODECODE, SUBJECTKIND, SUBJECTCODE, MODULECODE)
);

-- Venues.
create table KAV_PLACE (
    NODECODE varchar(2) not null,
    PLACECODE varchar(8) not null,
    CNAME varchar(64) not null,
    primary key (NODECODE, PLACECODE)
);

-- Kinds of performance (concert, opera, ...).
create table KAV_PRODUCTCLASS (
    NODECODE varchar(2) not null,
    PRODUCTCLASSCODE varchar(8) not null,
    CNAME varchar(64) not null,
    primary key (NODECODE, PRODUCTCLASSCODE)
);

-- Performances (products): venue, seat map, time, sale end and status ('5', '6' on sale, '9' void).
create table KAV_PRODUCT (
    NODECODE varchar(2) not null,
    PRODUCTCODE varchar(8) not null,
    CNAME varchar(64) not null,
    PRODUCTCLASSCODE varchar(8),
    PLACECODE varchar(8) not null,
    MAPCODE varchar(8),
    DOMAINCODE varchar(8),
    HAPPENTIME timestamp(0) not null,
    SALEENDTIME timestamp(0),
    STATUS varchar(1) not null,
    PRODUCTOWNERGROUP varchar(8),
    USERREGTYPE varchar(1),
    primary key (NODECODE, PRODUCTCODE)
);
create index KAV_PRODUCT_HAPPENTIME on KAV_PRODUCT (NODECODE, HAPPENTIME);

-- Price of each price level of a performance, with its mark text.
create table KAV_PRICE_SHOW (
    NODECODE varchar(2) not null,
    PRODUCTCODE varchar(8) not null,
    PRICELEVEL varchar(1) not null,
    PRICE numeric(12,2) not null,
    PRICEMARK varchar(16),
    ISVISIBLE varchar(1) not null default 'Y',
    primary key (PRODUCTCODE, PRICELEVEL, NODECODE)
);

-- Sections of a performance's seat map: grid size, stage position, background picture.
create table KAV_SECTION_SHOW (
    NODECODE varchar(2) not null,
    SECTIONCODE varchar(8) not null,
    PRODUCTCODE varchar(8) not null,
    MAPCODE varchar(8),
    CNAME varchar(20) not null,
    DESCRIPTION varchar(64),
    BACKPIC varchar(20),
    EXTRASTRING varchar(259),
    CELLROWS smallint not null default 100,
    CELLCOLUMNS smallint not null default 150,
    STYLE varchar(1) not null default '2',
    ARENAXY varchar(64),
    TTC_SECTIONGROUPCODE varchar(8),
    primary key (SECTIONCODE)
);
create index KAV_SECTION_SHOW_PRODUCT on KAV_SECTION_SHOW (NODECODE, PRODUCTCODE);

-- Floors of a section.
create table KAV_FLOOR_SHOW (
    NODECODE varchar(2) not null,
    SECTIONCODE varchar(8) not null,
    FLOORNO smallint not null,
    NAME varchar(16) not null,
    EXTRASTRING varchar(255),
    primary key (SECTIONCODE, FLOORNO)
);

-- Rows of a floor.
create table KAV_ROW_SHOW (
    NODECODE varchar(2) not null,
    SECTIONCODE varchar(8) not null,
    FLOORNO smallint not null,
    ROWNO smallint not null,
    NAME varchar(16) not null,
    ROWKIND varchar(1),
    primary key (SECTIONCODE, FLOORNO, ROWNO)
);

-- Seats of a performance: grid position (X, Y), price level, kind, status and holding order.
create table KAV_SEAT_SHOW (
    NODECODE varchar(2) not null,
    SEATCODE integer not null,
    PRODUCTCODE varchar(8) not null,
    MAPCODE varchar(8),
    SECTIONCODE varchar(8) not null,
    FLOORNO smallint not null,
    ROWNO smallint not null,
    SEATNO smallint not null,
    X smallint not null,
    Y smallint not null,
    ISADDITION varchar(1) not null default 'N',
    STATUS varchar(1) not null default 'F',
    KIND varchar(1) not null default 'N',
    PRICELEVEL varchar(1) not null,
    DESCRIPTION varchar(64),
    ORDERCODE varchar(20),
    primary key (NODECODE, SEATCODE)
);
create index KAV_SEAT_SHOW_ORDER on KAV_SEAT_SHOW (ORDERCODE, NODECODE);
create index KAV_SEAT_SHOW_SECTION on KAV_SEAT_SHOW (SECTIONCODE, PRODUCTCODE);
-- No two seats of a performance's section share a cell or an identity (floor, row, seat, added), so a
-- layout can never be saved with a seat twice.
create unique index KAV_SEAT_SHOW_PLACE on KAV_SEAT_SHOW (NODECODE, PRODUCTCODE, SECTIONCODE, Y, X);
create unique index KAV_SEAT_SHOW_IDENTITY on KAV_SEAT_SHOW (NODECODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO,
    SEATNO, ISADDITION);
-- The seat counts of the performance report, by performance and level, read from the index alone.
create index KAV_SEAT_SHOW_PRODUCT on KAV_SEAT_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, MAPCODE, ISADDITION, STATUS);

-- Sale classes (pricing policies) of a performance; TICKETNUM is the bought tickets of a suite.
create table KAV_SALECLASS (
    NODECODE varchar(2) not null,
    PRODUCTCODE varchar(8) not null,
    SALECLASSCODE varchar(8) not null,
    CNAME varchar(64) not null,
    ISSUITE varchar(1) not null default 'N',
    TICKETNUM integer not null default 0,
    primary key (PRODUCTCODE, SALECLASSCODE, NODECODE)
);

-- Per price level terms of a sale class: discount, fixed suite price, gift tickets per suite.
create table KAV_SALECLASSLEVEL (
    NODECODE varchar(2) not null,
    PRODUCTCODE varchar(8) not null,
    SALECLASSCODE varchar(8) not null,
    PRICELEVEL varchar(1) not null,
    DISCOUNT integer not null default 100,
    TOTALPRICES numeric(12,2),
    GIFTNUM integer,
    primary key (PRODUCTCODE, SALECLASSCODE, PRICELEVEL, NODECODE)
);

-- Customer types of the member system (CLIENTTYPE of orders) with their display names.
create table KAV_MEMBER_CLIENTTYPE (
    NODECODE varchar(2) not null,
    CLIENTTYPE varchar(1) not null,
    CLIENTTYPENAME varchar(32) not null,
    primary key (NODECODE, CLIENTTYPE)
);

-- Certificate (identity document) types of the member system.
create table KAV_MEMBER_IDENTTYPE (
    NODECODE varchar(2) not null,
    IDENTTYPEID integer not null,
    IDENTTYPENAME varchar(32) not null,
    CERTIFICATETYPE varchar(32) not null,
    primary key (NODECODE, IDENTTYPEID)
);

-- Orders (bookings): status, source, creator, handler, amount due and collection password; the
-- sale sort its ledger lines take and the batch it was made in (ticket office batches).
create table KAV_ORDER_SHOW (
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20) not null,
    PRODUCTCODE varchar(8) not null,
    SECTIONCODE varchar(8),
    SALECLASSCODE varchar(8),
    ORDERFROM varchar(1) not null,
    ORDERSTATUS varchar(1) not null,
    CLIENTTYPE varchar(1),
    FETCHWAY varchar(1),
    INVOICEHEAD varchar(64),
    ISGIFT varchar(1) not null default 'N',
    ISSUITE varchar(1) not null default 'N',
    MEMBERID integer,
    MEMBERCARDNO varchar(32),
    ISFEEMEMBER varchar(1) not null default 'N',
    SEATCOUNT integer not null default 0,
    RECEIVABLES numeric(12,2) not null default 0,
    PAYMODECODE varchar(1),
    PAYEE varchar(8),
    PAYEEGROUP varchar(8),
    GATHERINGTIME timestamp(0),
    CREATEGROUP varchar(8),
    CREATEUSER varchar(8),
    CREATETIME timestamp(0) not null,
    ORDERHANDLERUSER varchar(8),
    ORDERHANDLERTIME timestamp(0),
    ORDERPASSWORD varchar(16),
    FAILTIME timestamp(0),
    ISPRINT varchar(1) not null default 'N',
    ISPRINTPRICE varchar(1) not null default 'Y',
    ISPLACERESERVE varchar(1) not null default 'N',
    SYSTEMBOOKING varchar(1) not null default 'Y',
    SALESORT varchar(2),
    BATCHCODE varchar(20),
    primary key (ORDERCODE)
);
create index KAV_ORDER_SHOW_PASSWORD on KAV_ORDER_SHOW (ORDERPASSWORD, CREATETIME);
create index KAV_ORDER_SHOW_CREATETIME on KAV_ORDER_SHOW (CREATETIME);
create index KAV_ORDER_SHOW_PRODUCT on KAV_ORDER_SHOW (PRODUCTCODE, ORDERSTATUS);
create index KAV_ORDER_SHOW_MEMBERCARD on KAV_ORDER_SHOW (MEMBERCARDNO);
create index KAV_ORDER_SHOW_HANDLERTIME on KAV_ORDER_SHOW (ORDERHANDLERTIME);
create index KAV_ORDER_SHOW_BATCH on KAV_ORDER_SHOW (BATCHCODE, NODECODE);

-- The customer of an order (one row per order) and the shipping details.
create table KAV_ORDER_CLIENT_SHOW (
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20) not null,
    CNAME varchar(40),
    SEX varchar(1),
    CLIENTLEVEL varchar(1),
    TEL varchar(24),
    CELLPHONE varchar(24),
    EMAIL varchar(64),
    CADDRESS varchar(128),
    IDENTTYPEID integer,
    IDENTCODE varchar(32),
    COMMENT varchar(128),
    primary key (ORDERCODE)
);
create index KAV_ORDER_CLIENT_SHOW_NAME on KAV_ORDER_CLIENT_SHOW (CNAME);
create index KAV_ORDER_CLIENT_SHOW_TEL on KAV_ORDER_CLIENT_SHOW (TEL);
create index KAV_ORDER_CLIENT_SHOW_CELLPHONE on KAV_ORDER_CLIENT_SHOW (CELLPHONE);
create index KAV_ORDER_CLIENT_SHOW_IDENTCODE on KAV_ORDER_CLIENT_SHOW (IDENTCODE);

-- Price level lines of an order: price, discount percent, ticket price, total, seat count.
create table KAV_ORDER_DISCOUNT_SHOW (
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20) not null,
    PRICELEVEL varchar(1) not null,
    PRICE numeric(12,2) not null,
    DISCOUNT integer not null default 100,
    TICKETPRICE numeric(12,2) not null,
    TOTALPRICE numeric(12,2) not null,
    SEATAMOUNT integer not null,
    PRINTORIGINAL varchar(1) not null default 'N',
    primary key (ORDERCODE, PRICELEVEL)
);

-- Per-site switches (CUSTOMMODULE names the switch, ISVALID 'Y' turns it on).
create table KAV_SYSINFO_SHOW (
    CUSTOMMODULE varchar(32) not null,
    CNAME varchar(64),
    ISVALID varchar(1) not null default 'N',
    primary key (CUSTOMMODULE)
);

-- Pay modes (M member card, G credit company, H, F, W ...) in display order.
create table KAV_PAYMODE (
    PAYMODECODE varchar(1) not null,
    CNAME varchar(20) not null,
    DISPLAY integer not null,
    primary key (PAYMODECODE)
);

-- Pay modes each action module offers ('02', '03', '' others) and whether they print a note.
create table KAV_PAYMODE_DISPLAY (
    PAYMODECODE varchar(1) not null,
    ACTIONMODULE varchar(2) not null,
    ISPRINTNOTE varchar(1) not null default 'N',
    primary key (ACTIONMODULE, PAYMODECODE)
);

-- Credit companies that may run an account (pay mode G), per owning site.
create table KAV_CREDIT_COMPONY (
    NODECODE varchar(2) not null,
    COMPONY_CODE varchar(8) not null,
    COMPONY_NAME varchar(64) not null,
    OWNERCODE varchar(8) not null,
    ISVALID varchar(1) not null default 'Y',
    primary key (NODECODE, COMPONY_CODE)
);

-- Sales ceiling of an agent group towards a creating group, and what it has sold so far.
create table KAV_GROUPMAXSALEMONY (
    NODECODE varchar(2) not null,
    GROUPCODE varchar(8) not null,
    CREATEGROUP varchar(8) not null,
    ACTUALSALEMONEY numeric(12,2) not null default 0,
    MAXSALEMONEY numeric(12,2) not null,
    CREATEUSER varchar(8),
    CREATETIME timestamp(0),
    primary key (NODECODE, GROUPCODE, CREATEGROUP)
);

-- Performances whose sales a group's ceiling treats specially (STYLE '2': not counted).
create table KAV_GROUPMAXSALEMONY_PRODUCTSET (
    NODECODE varchar(2) not null,
    PRODUCTCODE varchar(8) not null,
    GROUPCODE varchar(8) not null,
    STYLE varchar(1) not null,
    primary key (NODECODE, PRODUCTCODE, GROUPCODE)
);

-- Sale sorts of the ledger ('01' sale, '05' collection, '08' gift ...).
create table KAV_SALE_SORT (
    NODECODE varchar(2) not null,
    SORTCODE varchar(2) not null,
    CNAME varchar(64) not null,
    primary key (NODECODE, SORTCODE)
);

-- Sales ledger: accounted lines; AMOUNT counts tickets (negative: returns), PRICE is money.
create table KAV_REPORT_SHOW (
    LEDGERID bigint not null,
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20),
    PRODUCTCODE varchar(8) not null,
    PRICELEVEL varchar(1) not null,
    DISCOUNT integer not null default 100,
    AMOUNT integer not null,
    PRICE numeric(12,2) not null,
    SALESORT varchar(2) not null,
    ACTIONKIND varchar(2),
    SALECLASSCODE varchar(8),
    ORDERSOURCE varchar(1),
    ORDERFROM varchar(1),
    PAYMODECODE varchar(1),
    ACCOUNTUSER varchar(8),
    ACCOUNTGROUP varchar(8),
    ACCOUNTTIME timestamp(0) not null,
    ISPLACERESERVE varchar(1) not null default 'N',
    primary key (LEDGERID)
);
create index KAV_REPORT_SHOW_PRODUCT on KAV_REPORT_SHOW (NODECODE, PRODUCTCODE, ACCOUNTTIME);
create index KAV_REPORT_SHOW_USER on KAV_REPORT_SHOW (ACCOUNTUSER);
create index KAV_REPORT_SHOW_GROUP on KAV_REPORT_SHOW (ACCOUNTGROUP);

-- Ticket face layouts of a performance (TICKETSTYLE '1' is the default face).
create table KAV_TICKETFACE (
    NODECODE varchar(2) not null,
    PRODUCTCODE varchar(8) not null,
    TICKETSTYLE varchar(2) not null,
    TICKETWIDTH integer not null,
    TICKETHEIGHT integer not null,
    SUBQUANTITY integer not null default 0,
    SUBWIDTH integer not null default 0,
    SUBATLEFT varchar(1) not null default 'N',
    PRINTNAME varchar(64),
    PRINTORDER integer not null default 0,
    BACKPIC varchar(64),
    primary key (PRODUCTCODE, TICKETSTYLE, NODECODE)
);

-- Printed elements of a ticket face: kind, caption, font, border flags and position (96 dpi).
create table KAV_TICKETFACE_ELEMENT (
    NODECODE varchar(2) not null,
    PRODUCTCODE varchar(8) not null,
    TICKETSTYLE varchar(2) not null,
    ELEMENTNO integer not null,
    ELEMENTTYPE varchar(16) not null,
    CAPTION varchar(64),
    FONTNAME varchar(32),
    FONTHEIGHT integer,
    FONTBOLD varchar(1) not null default 'N',
    FONTITALIC varchar(1) not null default 'N',
    FONTUNDERLINE varchar(1) not null default 'N',
    BORDER integer not null default 0,
    ELM_LEFT integer not null,
    ELM_TOP integer not null,
    ELM_WIDTH integer not null,
    ELM_HEIGHT integer not null,
    EXTRASTRING varchar(255),
    primary key (PRODUCTCODE, TICKETSTYLE, ELEMENTNO, NODECODE)
);

-- Sections (SECTIONTYPE '2') or section groups (other types) a ticket face is used for.
create table KAV_TICKETFACE_SECTION (
    NODECODE varchar(2) not null,
    PRODUCTCODE varchar(8) not null,
    TICKETSTYLE varchar(2) not null,
    SECTIONTYPE varchar(1) not null,
    SECTIONCODE varchar(8) not null,
    primary key (PRODUCTCODE, TICKETSTYLE, SECTIONTYPE, SECTIONCODE, NODECODE)
);

-- Tickets produced for the seats of orders, kept so that a failed print can be reprinted.
create table KAV_TICKET_SHOW (
    NODECODE varchar(2) not null,
    BARCODE varchar(32) not null,
    TICKETSERIAL varchar(32) not null,
    ORDERCODE varchar(20) not null,
    SEATCODE integer not null,
    PRODUCTCODE varchar(8) not null,
    SALECLASSCODE varchar(8),
    TICKETTYPE varchar(2),
    ISGIFT varchar(1) not null default 'N',
    PARVALUE numeric(12,2) not null,
    PRINTUSER varchar(8),
    PRINTTIME timestamp(0) not null,
    ORDERHANDLERTIME timestamp(0),
    primary key (BARCODE)
);
create index KAV_TICKET_SHOW_SEAT on KAV_TICKET_SHOW (ORDERCODE, SEATCODE);

-- Customers registered for an order (one person) or for each of its seats (SEATCODE set).
create table KAV_CLIENTINFO (
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20) not null,
    PKID integer not null,
    PRODUCTCODE varchar(8) not null,
    SEATCODE integer,
    USERREGTYPE varchar(1) not null,
    NAME varchar(40) not null,
    IDENTTYPEID integer not null,
    IDNUM varchar(32) not null,
    CADDRESS varchar(100),
    POST varchar(8),
    SEX varchar(1),
    TEL varchar(24),
    CLIENTLEVEL varchar(1),
    primary key (ORDERCODE, PKID)
);

-- Payments taken for an order: pay mode, credit card and the amount received.
create table KAV_ACCOUNT_SHOW (
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20) not null,
    PKID integer not null,
    PAYMODECODE varchar(1) not null,
    CREDITCARDSTYLECODE varchar(8),
    CREDITCARDCODE varchar(32),
    RELACCEPTABLES numeric(12,2) not null,
    ACCOUNTUSER varchar(8),
    ACCOUNTGROUP varchar(8),
    ACCOUNTTIME timestamp(0) not null,
    primary key (ORDERCODE, PKID)
);
-- The payments a seller took in a shift.
create index KAV_ACCOUNT_SHOW_USER on KAV_ACCOUNT_SHOW (NODECODE, ACCOUNTUSER, ACCOUNTTIME);

-- Split payments of an order over several pay modes, with the cashier's remark.
create table KAV_PAYMODEMONEY_SHOW (
    NODECODE varchar(2) not null,
    ORDERCODE varchar(20) not null,
    PAYMODECODE varchar(1) not null,
    PRODUCTCODE varchar(8) not null,
    AMOUNT numeric(12,2) not null,
    REMARK varchar(20),
    primary key (ORDERCODE, PAYMODECODE)
);

-- Running numbers the server hands out (order codes per node, ledger line ids), one row per name;
-- the row is locked while a transaction draws from it, so numbers are unique across servers.
create table KAV_COUNTER (
    NAME varchar(32) not null,
    LASTVALUE bigint not null,
    primary key (NAME)
);

-- The version of this schema: kav-server upgrades an older database at start (upgrades/, README.md).
create table KAV_SCHEMA_VERSION (
    VERSION integer not null,
    primary key (VERSION)
);

-- What managers may need to see about access, read through the data pipe (which cannot change
-- it): logins, refused logins, locks, and statements refused for reaching a credential column.
create table KAV_AUDIT_LOG (
    AUDITID integer not null,            -- from the KAV_COUNTER row 'AUDITLOG'
    EVENTTIME timestamp(0) not null,
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
    WINDOWSTART timestamp(0) not null,
    LOCKS integer not null,              -- locks in a row; each doubles the next one's length
    LOCKEDUNTIL timestamp(0),
    primary key (SUBJECTKIND, SUBJECT)
);

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
    BALANCE numeric(12,2) not null default 0,
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
    COST numeric(12,2) not null,
    PAYMODENAME varchar(20),
    NOTEFLAG varchar(1) not null,
    POSTUSER varchar(8) not null,
    POSTTIME timestamp(0) not null,
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
    ASKTIME timestamp(0) not null,
    SENTTIME timestamp(0),
    primary key (MESSAGEID)
);
