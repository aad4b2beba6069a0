-- A few rows for the statement check, valid on both backends. Each order exercises one rule of
-- the catalogue's statements; expected_rows.txt states what each statement must return.

insert into KAV_GROUP values ('01', 'OWN1', '总中心', 'C', 'OWN1', null);
insert into KAV_GROUP values ('01', 'G001', '售票处', 'B', 'OWN1', null);
insert into KAV_GROUP values ('01', 'DM01', '大麦网', 'W', 'OWN1', 'http://www.damai.cn');

insert into KAV_USER (NODECODE, USERCODE, CNAME, GROUPCODE, PASSWORDHASH)
    values ('01', 'U001', '王售票', 'G001', '$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA');
insert into KAV_USER (NODECODE, USERCODE, CNAME, GROUPCODE, PASSWORDHASH)
    values ('01', 'DMDZP', '大麦电子票', 'DM01', '$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA');

insert into KAV_ORDERHANDLER_RIGHT (NODECODE, SUBJECTKIND, SUBJECTCODE, MODULECODE, CANVIEWORDERS_2, CANTOEXCEL)
    values ('01', 'G', 'G001', '2', 'Y', 'Y');
insert into KAV_ORDERHANDLER_RIGHT (NODECODE, SUBJECTKIND, SUBJECTCODE, MODULECODE, CANVIEWORDERS_2)
    values ('01', 'U', 'U001', '2', 'Y');

insert into KAV_PLACE values ('01', 'PL01', '岚桥音乐厅');
insert into KAV_PLACE values ('01', 'PL02', '小剧场');
insert into KAV_PRODUCTCLASS values ('01', 'PC01', '音乐会');

-- P0001 is on sale; P0002's sale has ended; P0009 is void.
insert into KAV_PRODUCT values ('01', 'P0001', '新年音乐会', 'PC01', 'PL01', 'M001', 'D1',
    '2026-12-31 19:30:00', '2099-12-31 19:00:00', '5', 'OWN1', 'N');
insert into KAV_PRODUCT values ('01', 'P0002', '室内乐之夜', 'PC01', 'PL02', 'M002', 'D1',
    '2026-12-20 19:30:00', '2001-01-01 00:00:00', '6', 'OWN1', 'O');
insert into KAV_PRODUCT values ('01', 'P0009', '取消的演出', 'PC01', 'PL01', 'M001', 'D1',
    '2026-12-25 19:30:00', '2099-12-31 19:00:00', '9', 'OWN1', 'N');

insert into KAV_PRICE_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, PRICE) values ('01', 'P0001', 'A', 300);
insert into KAV_PRICE_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, PRICE) values ('01', 'P0001', 'B', 280);

insert into KAV_SECTION_SHOW (NODECODE, SECTIONCODE, PRODUCTCODE, MAPCODE, CNAME, BACKPIC, TTC_SECTIONGROUPCODE)
    values ('01', 'S0101', 'P0001', 'M001', '池座', 'stalls.png', 'SG01');
insert into KAV_SECTION_SHOW (NODECODE, SECTIONCODE, PRODUCTCODE, MAPCODE, CNAME)
    values ('01', 'S0102', 'P0001', 'M001', '楼座');
insert into KAV_FLOOR_SHOW values ('01', 'S0101', 1, '一层', null);
insert into KAV_ROW_SHOW values ('01', 'S0101', 1, 1, '1排', null);
insert into KAV_ROW_SHOW values ('01', 'S0101', 1, 2, '2排', null);

-- Seats 1001-1003 belong to D0000001 (two at A, one at B); 1004 is free.
insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO, SEATNO, X, Y, STATUS, PRICELEVEL, ORDERCODE)
    values ('01', 1001, 'P0001', 'S0101', 1, 1, 1, 10, 1, 'B', 'A', 'D0000001');
insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO, SEATNO, X, Y, STATUS, PRICELEVEL, ORDERCODE)
    values ('01', 1002, 'P0001', 'S0101', 1, 1, 2, 11, 1, 'B', 'A', 'D0000001');
insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO, SEATNO, X, Y, STATUS, PRICELEVEL, ORDERCODE)
    values ('01', 1003, 'P0001', 'S0101', 1, 2, 1, 10, 2, 'B', 'B', 'D0000001');
insert into KAV_SEAT_SHOW (NODECODE, SEATCODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO, SEATNO, X, Y, PRICELEVEL)
    values ('01', 1004, 'P0001', 'S0101', 1, 2, 2, 11, 2, 'A');

insert into KAV_SALECLASS values ('01', 'P0001', 'SC01', '正价票', 'N', 0);
insert into KAV_SALECLASS values ('01', 'P0001', 'SC02', '买二赠一', 'Y', 2);
insert into KAV_SALECLASS values ('01', 'P0001', 'WEBDM', '大麦网售', 'N', 0);
insert into KAV_SALECLASSLEVEL values ('01', 'P0001', 'SC02', 'A', 100, null, 1);
insert into KAV_SALECLASSLEVEL values ('01', 'P0001', 'SC02', 'B', 100, null, 1);

insert into KAV_MEMBER_CLIENTTYPE values ('01', '1', '会员');
insert into KAV_MEMBER_CLIENTTYPE values ('01', '3', '普通购票者');
insert into KAV_MEMBER_IDENTTYPE values ('01', 1, '身份证', 'ID');
insert into KAV_MEMBER_IDENTTYPE values ('01', 2, '护照', 'PASSPORT');

-- D0000001: booked call-centre order of 张三 on sale (password 123456).
-- D0000002: paid order matching every filter of the full detail search.
-- D0000003: unhandled online partner order whose customer data is hidden (sale class WEBDM).
-- D0000004: cancelled order without seats (never listed).
-- D0000005: booked order of 张五 for a performance whose sale has ended.
insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, SECTIONCODE, SALECLASSCODE, ORDERFROM, ORDERSTATUS,
    CLIENTTYPE, FETCHWAY, SEATCOUNT, RECEIVABLES, CREATEGROUP, CREATEUSER, CREATETIME, ORDERPASSWORD, MEMBERCARDNO)
    values ('01', 'D0000001', 'P0001', 'S0101', 'SC01', '2', 'B', '3', '1', 3, 880, 'G001', 'U001',
    '2026-12-01 10:00:00', '123456', '-1');
insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, SECTIONCODE, SALECLASSCODE, ORDERFROM, ORDERSTATUS,
    CLIENTTYPE, FETCHWAY, SEATCOUNT, RECEIVABLES, CREATEGROUP, CREATEUSER, CREATETIME, ORDERHANDLERUSER,
    ORDERHANDLERTIME, FAILTIME, MEMBERCARDNO, PAYMODECODE, ISPRINT)
    values ('01', 'D0000002', 'P0001', 'S0101', 'SC01', '2', 'R', '3', '2', 2, 600, 'G001', 'U001',
    '2026-11-15 09:00:00', 'U001', '2026-11-16 10:00:00', '2026-12-10 00:00:00', '8800001', 'X', 'N');
insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, SECTIONCODE, SALECLASSCODE, ORDERFROM, ORDERSTATUS,
    CLIENTTYPE, SEATCOUNT, RECEIVABLES, CREATEGROUP, CREATEUSER, CREATETIME, SYSTEMBOOKING)
    values ('01', 'D0000003', 'P0001', 'S0101', 'WEBDM', '3', 'N', '3', 1, 300, 'DM01', 'DMDZP',
    '2026-12-02 12:00:00', 'N');
insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, ORDERFROM, ORDERSTATUS, SEATCOUNT, CREATEGROUP,
    CREATEUSER, CREATETIME)
    values ('01', 'D0000004', 'P0001', '2', 'C', 0, 'G001', 'U001', '2026-12-01 11:00:00');
insert into KAV_ORDER_SHOW (NODECODE, ORDERCODE, PRODUCTCODE, SALECLASSCODE, ORDERFROM, ORDERSTATUS, CLIENTTYPE,
    SEATCOUNT, RECEIVABLES, CREATEGROUP, CREATEUSER, CREATETIME)
    values ('01', 'D0000005', 'P0002', 'SC01', '2', 'B', '3', 2, 400, 'G001', 'U001', '2026-12-03 15:00:00');

insert into KAV_ORDER_CLIENT_SHOW (NODECODE, ORDERCODE, CNAME, TEL, CELLPHONE, EMAIL, CADDRESS)
    values ('01', 'D0000001', '张三', '010-12345678', '13900000001', 'zhang@example.com', '北京');
insert into KAV_ORDER_CLIENT_SHOW values ('01', 'D0000002', 'O''Brien', 'M', '3', '010-88886666', '13800138000',
    'xabcx@example.com', '上海', 1, '110101199001011234', '淘宝订单');
insert into KAV_ORDER_CLIENT_SHOW (NODECODE, ORDERCODE, CNAME, TEL, CELLPHONE, EMAIL, CADDRESS, IDENTCODE)
    values ('01', 'D0000003', '李四', '021-1', '13700000003', 'li@example.com', '广州', '440101');
insert into KAV_ORDER_CLIENT_SHOW (NODECODE, ORDERCODE, CNAME) values ('01', 'D0000005', '张五');

-- D0000001 has a third, empty line at level C that the detail statement leaves out.
insert into KAV_ORDER_DISCOUNT_SHOW values ('01', 'D0000001', 'A', 300, 100, 300, 600, 2, 'N');
insert into KAV_ORDER_DISCOUNT_SHOW values ('01', 'D0000001', 'B', 280, 100, 280, 280, 1, 'N');
insert into KAV_ORDER_DISCOUNT_SHOW values ('01', 'D0000001', 'C', 200, 100, 200, 0, 0, 'N');
insert into KAV_ORDER_DISCOUNT_SHOW values ('01', 'D0000002', 'A', 300, 100, 300, 600, 2, 'N');
insert into KAV_ORDER_DISCOUNT_SHOW values ('01', 'D0000003', 'A', 300, 100, 300, 300, 1, 'N');
insert into KAV_ORDER_DISCOUNT_SHOW values ('01', 'D0000005', 'A', 200, 100, 200, 400, 2, 'N');

insert into KAV_SYSINFO_SHOW values ('ORDER_VALID_DAY', '到期日期查询', 'Y');
insert into KAV_SYSINFO_SHOW values ('CONTROLOUTPRINTKIND', '多订单取票', 'N');
insert into KAV_SYSINFO_SHOW values ('POSTMEMBERPURCHAINFO', '会员消费上传', 'N');
insert into KAV_SYSINFO_SHOW values ('CONNECTUMNBYDB', '会员系统直连数据库', 'Y');
insert into KAV_SYSINFO_SHOW values ('REPORTPARTNERHOMEPAGE', 'http://www.damai.cn', 'Y');
insert into KAV_SYSINFO_SHOW values ('REPORTVENUENAME', '岚桥演艺中心', 'Y');

insert into KAV_PAYMODE values ('X', '现金', 1);
insert into KAV_PAYMODE values ('M', '会员卡', 2);
insert into KAV_PAYMODE values ('G', '挂账', 3);
insert into KAV_PAYMODE values ('W', '网上支付', 4);
insert into KAV_PAYMODE_DISPLAY values ('X', '02', 'N');
insert into KAV_PAYMODE_DISPLAY values ('M', '02', 'Y');
insert into KAV_PAYMODE_DISPLAY values ('W', '03', 'N');
insert into KAV_PAYMODE_DISPLAY values ('X', '', 'N');

insert into KAV_CREDIT_COMPONY values ('01', 'CC01', '乙公司', 'TOLVA', 'Y');
insert into KAV_CREDIT_COMPONY values ('01', 'CC02', '甲公司', 'TOLVA', 'Y');
insert into KAV_CREDIT_COMPONY values ('01', 'CC03', '丙公司', 'TOLVA', 'N');

insert into KAV_GROUPMAXSALEMONY (NODECODE, GROUPCODE, CREATEGROUP, MAXSALEMONEY) values ('01', 'G001', 'G002', 100000);
insert into KAV_GROUPMAXSALEMONY_PRODUCTSET values ('01', 'P0001', 'G001', '2');

insert into KAV_SALE_SORT values ('01', '01', '售票');
insert into KAV_SALE_SORT values ('01', '05', '提票');
insert into KAV_SALE_SORT values ('01', '08', '赠票');

-- Ledger: 1 own sale in the period, 2 partner online sale in the period, 3 own sale before the
-- period, 4 a place reservation (never counted), 5 a system sale accounted by the partner's
-- group, 6 an online sale of the site's own sale class.
insert into KAV_REPORT_SHOW values (1, '01', 'D0000002', 'P0001', 'A', 100, 2, 600, '01', '01', 'SC01', '2', '2',
    'X', 'U001', 'G001', '2026-11-16 10:00:00', 'N');
insert into KAV_REPORT_SHOW values (2, '01', 'D0000003', 'P0001', 'A', 100, 1, 300, '01', '01', 'WEBDM', '3', '3',
    'W', 'DMDZP', 'DM01', '2026-12-02 12:05:00', 'N');
insert into KAV_REPORT_SHOW values (3, '01', 'D0000001', 'P0002', 'B', 100, 1, 280, '08', '01', 'SC01', '2', '2',
    'X', 'U001', 'G001', '2026-10-01 10:00:00', 'N');
insert into KAV_REPORT_SHOW values (4, '01', null, 'P0001', 'A', 100, 5, 1500, '01', '01', 'SC01', '2', '2',
    'X', 'U001', 'G001', '2026-11-20 10:00:00', 'Y');
insert into KAV_REPORT_SHOW values (5, '01', 'D0000001', 'P0001', 'B', 100, 1, 280, '05', '01', 'SC01', '2', '2',
    'X', 'U001', 'DM01', '2026-12-05 10:00:00', 'N');
insert into KAV_REPORT_SHOW values (6, '01', 'D0000002', 'P0001', 'A', 100, 1, 300, '01', '01', 'SC01', '3', '3',
    'W', 'U001', 'G001', '2026-12-06 10:00:00', 'N');
-- A counter sale without order, sale class and order source: the site's own, whichever side is asked for.
insert into KAV_REPORT_SHOW values (7, '01', null, 'P0002', 'C', 100, 1, 180, '01', '01', null, '1', null,
    'X', 'U001', 'G001', '2026-11-18 10:00:00', 'N');
