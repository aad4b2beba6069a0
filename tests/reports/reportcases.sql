-- Rows added to the demo database for the report tests, each making one case the reports must get right.
-- The performances are in 2025, away from the demo's own dates, and no demo query selects them.
--   T'01  an apostrophe in its code; levels A, C and D priced, B not; sales of every kind
--   T02   on the same seat map as T'01, with counts of its own
--   T03   seats and prices, no sales at all
--   T04   a price but no seats on its map yet
insert into KAV_PRODUCT (NODECODE, PRODUCTCODE, CNAME, PRODUCTCLASSCODE, PLACECODE, MAPCODE, HAPPENTIME, STATUS)
values ('01', 'T''01', '测试甲场', 'PC01', 'PL01', 'TM01', '2025-07-01 19:30:00', '6'),
       ('01', 'T02', '测试乙场', 'PC01', 'PL01', 'TM01', '2025-07-02 19:30:00', '6'),
       ('01', 'T03', '测试丙场', 'PC02', 'PL02', 'TM03', '2025-07-03 19:30:00', '6'),
       ('01', 'T04', '测试丁场', 'PC02', 'PL02', 'TM04', '2025-07-04 19:30:00', '6');
insert into KAV_PRICE_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, PRICE)
values ('01', 'T''01', 'A', 380), ('01', 'T''01', 'C', 180), ('01', 'T''01', 'D', 80),
       ('01', 'T02', 'A', 300), ('01', 'T02', 'B', 200), ('01', 'T03', 'A', 100), ('01', 'T04', 'A', 50);
insert into KAV_SALECLASS (NODECODE, PRODUCTCODE, SALECLASSCODE, CNAME)
values ('01', 'T''01', 'SC01', '正价票'), ('01', 'T''01', 'WEBDM', '大麦网售'), ('01', 'T02', 'SC01', '正价票');
-- Seats: T'01 A 4 (2 sold), C 3 (1 sold), D 2 and an added seat; T02 A 5 free, B 2 (1 booked); T03 A 3.
insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, MAPCODE, SECTIONCODE, FLOORNO, ROWNO, SEATNO, X, Y,
                           ISADDITION, STATUS, KIND, PRICELEVEL)
values ('01', 9100001, 'T''01', 'TM01', 'TS01', 1, 1, 1, 1, 1, 'N', 'O', 'N', 'A'),
       ('01', 9100002, 'T''01', 'TM01', 'TS01', 1, 1, 2, 2, 1, 'N', 'O', 'N', 'A'),
       ('01', 9100003, 'T''01', 'TM01', 'TS01', 1, 1, 3, 3, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100004, 'T''01', 'TM01', 'TS01', 1, 1, 4, 4, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100011, 'T''01', 'TM01', 'TS01', 1, 2, 1, 1, 2, 'N', 'O', 'N', 'C'),
       ('01', 9100012, 'T''01', 'TM01', 'TS01', 1, 2, 2, 2, 2, 'N', 'F', 'N', 'C'),
       ('01', 9100013, 'T''01', 'TM01', 'TS01', 1, 2, 3, 3, 2, 'N', 'F', 'N', 'C'),
       ('01', 9100021, 'T''01', 'TM01', 'TS01', 1, 3, 1, 1, 3, 'N', 'F', 'N', 'D'),
       ('01', 9100022, 'T''01', 'TM01', 'TS01', 1, 3, 2, 2, 3, 'N', 'F', 'N', 'D'),
       ('01', 9100023, 'T''01', 'TM01', 'TS01', 1, 3, 3, 3, 3, 'Y', 'F', 'N', 'D'),
       ('01', 9100101, 'T02', 'TM01', 'TS02', 1, 1, 1, 1, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100102, 'T02', 'TM01', 'TS02', 1, 1, 2, 2, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100103, 'T02', 'TM01', 'TS02', 1, 1, 3, 3, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100104, 'T02', 'TM01', 'TS02', 1, 1, 4, 4, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100105, 'T02', 'TM01', 'TS02', 1, 1, 5, 5, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100111, 'T02', 'TM01', 'TS02', 1, 2, 1, 1, 2, 'N', 'B', 'N', 'B'),
       ('01', 9100112, 'T02', 'TM01', 'TS02', 1, 2, 2, 2, 2, 'N', 'F', 'N', 'B'),
       ('01', 9100201, 'T03', 'TM03', 'TS03', 1, 1, 1, 1, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100202, 'T03', 'TM03', 'TS03', 1, 1, 2, 2, 1, 'N', 'F', 'N', 'A'),
       ('01', 9100203, 'T03', 'TM03', 'TS03', 1, 1, 3, 3, 1, 'N', 'F', 'N', 'A');
insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, ORDERFROM, ORDERSTATUS, CREATEUSER, CREATEGROUP, CREATETIME)
values ('01', 'TK01', 'T''01', '1', 'R', 'U001', 'G001', '2025-06-10 09:00:00'),
       ('01', 'TK02', 'T''01', '1', 'R', 'demo', 'G001', '2025-06-20 10:00:00'),
       ('01', 'TK03', 'T''01', '3', 'R', 'DMDZP', 'DM01', '2025-06-15 19:00:00'),
       ('01', 'TK04', 'T''01', '1', 'R', 'U002', 'G002', '2025-06-16 11:00:00'),
       ('01', 'TK05', 'T02', '1', 'R', 'U001', 'G001', '2025-06-11 14:00:00'),
       ('01', 'TK06', 'T02', '3', 'R', 'WEB01', 'WEB1', '2025-06-18 20:00:00');
-- The ledger:
--   1, 2  U001 sells two A tickets and takes one back
--   3     demo sells C at 80%
--   4     a counter sale without order and without sale class (no creator, no class: still the site's own)
--   5     the partner's online sale
--   6     accounted by the partner's group on an order someone else made (the partner's, by its group)
--   7     a place reservation: never in a report
--   8     T02, without sale class
--   9     T02, the venue's own online sale
insert into KAV_REPORT_SHOW (LEDGERID, NODECODE, ORDERCODE, PRODUCTCODE, PRICELEVEL, DISCOUNT, AMOUNT, PRICE, SALESORT,
                             ACTIONKIND, SALECLASSCODE, ORDERSOURCE, ORDERFROM, PAYMODECODE, ACCOUNTUSER, ACCOUNTGROUP,
                             ACCOUNTTIME, ISPLACERESERVE)
values (91000001, '01', 'TK01', 'T''01', 'A', 100, 2, 760, '01', '01', 'SC01', '1', '1', 'X', 'U001', 'G001', '2025-06-10 10:00:00', 'N'),
       (91000002, '01', 'TK01', 'T''01', 'A', 100, -1, -380, '02', '02', 'SC01', '1', '1', 'X', 'U001', 'G001', '2025-06-12 10:00:00', 'N'),
       (91000003, '01', 'TK02', 'T''01', 'C', 80, 1, 144, '01', '01', 'SC01', '1', '1', 'H', 'demo', 'G001', '2025-06-20 11:00:00', 'N'),
       (91000004, '01', null, 'T''01', 'D', 100, 1, 80, '01', '01', null, '1', null, 'X', 'U001', 'G001', '2025-06-25 09:00:00', 'N'),
       (91000005, '01', 'TK03', 'T''01', 'A', 100, 1, 380, '01', '01', 'WEBDM', '3', '3', 'W', 'DMDZP', 'DM01', '2025-06-15 20:00:00', 'N'),
       (91000006, '01', 'TK04', 'T''01', 'C', 100, 1, 180, '01', '01', 'SC01', '1', '1', 'X', 'U002', 'DM01', '2025-06-16 12:00:00', 'N'),
       (91000007, '01', null, 'T''01', 'A', 100, 1, 380, '01', '01', 'SC01', '1', '1', 'X', 'U001', 'G001', '2025-06-11 08:00:00', 'Y'),
       (91000008, '01', 'TK05', 'T02', 'A', 100, 1, 300, '01', '01', null, '1', '1', 'X', 'U001', 'G001', '2025-06-11 15:00:00', 'N'),
       (91000009, '01', 'TK06', 'T02', 'B', 100, 1, 200, '01', '01', 'SC01', '3', '3', 'W', 'WEB01', 'WEB1', '2025-06-18 21:00:00', 'N');
-- U001's shift on 12 June 2025: a cash sale, a sale split between cash and bank card, a bank card sale, the
-- refund of TK01's returned ticket, prints and reprints, a cancelled booking; and what must stay out: demo's
-- payment that day, U001's payment of another day.
insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, ORDERFROM, ORDERSTATUS, SEATCOUNT, CREATEUSER,
                            CREATEGROUP, CREATETIME, ORDERHANDLERUSER, ORDERHANDLERTIME)
values ('01', 'TK10', 'T''01', '1', 'C', 2, 'U001', 'G001', '2025-06-11 09:00:00', 'U001', '2025-06-12 12:00:00');
insert into KAV_ACCOUNT_SHOW (NODECODE, ORDERCODE, PKID, PAYMODECODE, RELACCEPTABLES, ACCOUNTUSER, ACCOUNTGROUP,
                              ACCOUNTTIME)
values ('01', 'TK01', 0, 'X', 760, 'U001', 'G001', '2025-06-10 10:00:00'),
       ('01', 'TK01', 1, 'X', -380, 'U001', 'G001', '2025-06-12 10:00:00'),
       ('01', 'TK07', 0, 'X', 500, 'U001', 'G001', '2025-06-12 09:00:00'),
       ('01', 'TK08', 0, 'X', 300, 'U001', 'G001', '2025-06-12 10:30:00'),
       ('01', 'TK09', 0, 'H', 150, 'U001', 'G001', '2025-06-12 11:00:00'),
       ('01', 'TK02', 0, 'H', 144, 'demo', 'G001', '2025-06-12 11:30:00');
insert into KAV_PAYMODEMONEY_SHOW (NODECODE, ORDERCODE, PAYMODECODE, PRODUCTCODE, AMOUNT)
values ('01', 'TK08', 'X', 'T''01', 100), ('01', 'TK08', 'H', 'T''01', 200);
insert into KAV_PRINT_LOG (NODECODE, PRINTID, PRINTKIND, BARCODE, ORDERCODE, SEATCODE, PRODUCTCODE, PRINTUSER,
                           PRINTGROUP, PRINTTIME)
values ('01', 91000001, 'O', '6900009100001', 'TK07', 9100001, 'T''01', 'U001', 'G001', '2025-06-12 09:01:00'),
       ('01', 91000002, 'O', '6900009100002', 'TK07', 9100002, 'T''01', 'U001', 'G001', '2025-06-12 09:01:10'),
       ('01', 91000003, 'O', '6900009100011', 'TK08', 9100011, 'T''01', 'U001', 'G001', '2025-06-12 10:31:00'),
       ('01', 91000004, 'O', '6900009100101', 'TK09', 9100101, 'T02', 'U001', 'G001', '2025-06-12 11:01:00'),
       ('01', 91000005, 'R', '6900009100011', 'TK08', 9100011, 'T''01', 'U001', 'G001', '2025-06-12 10:35:00'),
       ('01', 91000006, 'R', '6900009100101', 'TK09', 9100101, 'T02', 'U001', 'G001', '2025-06-12 11:05:00'),
       ('01', 91000007, 'O', '6900009100003', 'TK02', 9100003, 'T''01', 'demo', 'G001', '2025-06-12 11:31:00');
