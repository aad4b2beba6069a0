-- The SQL statements the client sends through the remote data pipe, one entry each, as the exact
-- text of the request (where the client builds a statement from pieces, a representative
-- instance with literal values; apostrophes inside values are doubled).
--
-- Format, read by tools and tests: an entry is a run of "-- key: value" lines followed by one
-- line holding the statement (no terminator; leading and trailing blanks are part of the text).
--   id      unique name of the entry
--   label   what the statement reads or writes
--   call    GetData     read-only, one statement
--           MasterData  read-only master statement of GetMasterDetailData
--           DetailData  read-only detail statement of GetMasterDetailData; its :NAME parameters
--                       are filled from the master row's columns of the same names (letter case
--                       ignored when matching), as text
--           ExecSQL     one insert, update or delete; 1 means it ran
--   detail  (MasterData) the nested table's name and the id of its detail statement
--   params  (DetailData) the parameter names, as written in the statement
--   note    why an entry differs from the plain form

-- id: salecore.gift_num
-- label: Gift tickets per suite of a sale class (seat list preparation)
-- call: GetData
SELECT DISTINCT(GIFTNUM) FROM KAV_SALECLASSLEVEL WHERE NODECODE = '01' AND PRODUCTCODE = 'P0001' AND SALECLASSCODE = 'SC02'

-- id: salecore.ticket_num
-- label: Bought tickets per suite of a sale class
-- call: GetData
SELECT TICKETNUM FROM KAV_SALECLASS WHERE NODECODE = '01' AND PRODUCTCODE = 'P0001' AND SALECLASSCODE = 'SC02'

-- id: salecore.group_ceiling_productset
-- label: Does the group's sales ceiling count this performance (Style '2' = not counted)
-- call: GetData
 select * from KAV_GROUPMAXSALEMONY_PRODUCTSET where  NodeCode = '01' and ProductCode = 'P0001' and GroupCode = 'G001'

-- id: salecore.section_backpic
-- label: Background picture of the current section for the ticket face
-- call: GetData
Select BACKPIC from KAV_SECTION_SHOW where SECTIONCODE = 'S0101'

-- id: salecore.select_order
-- label: Booked system orders still on sale, created in a period (one row per price level line)
-- call: GetData
select o.CREATETIME,d.PRICELEVEL,d.PRICE,o.RECEIVABLES,o.SEATCOUNT,c.CNAME,c.TEL,c.CLIENTLEVEL,d.DISCOUNT,o.ORDERCODE,o.CREATEUSER,o.ORDERSTATUS,o.PAYEE,o.GATHERINGTIME,o.ISPRINTPRICE,d.PRINTORIGINAL,p.PRODUCTCODE,p.HAPPENTIME,p.CNAME as PRODUCTNAME, o.saleclasscode, o.ISPLACERESERVE,s.cname as SaleClassName, o.ISGIFT, pl.PLACECODE,pl.CNAME as PLACENAME ,p.UserRegType,p.PRODUCTOWNERGROUP,  o.FetchWay,c.CADDRESS,c.CellPhone,c.IdentTypeID,c.IdentCode,o.InVoiceHead,c.Comment from KAV_ORDER_SHOW o left join KAV_SaleClass s on o.SaleClassCode = s.SaleClassCode and o.nodecode = s.nodecode and o.productcode = s.productcode inner join KAV_ORDER_DISCOUNT_SHOW d on o.NODECODE=d.NODECODE and o.ORDERCODE=d.ORDERCODE inner join KAV_ORDER_CLIENT_SHOW c on o.NODECODE=c.NODECODE and o.ORDERCODE=c.ORDERCODE inner join KAV_PRODUCT P on o.NODECODE=p.NODECODE and o.PRODUCTCODE=p.PRODUCTCODE and p.STATUS<>'9'  inner join KAV_PLACE pl on p.NODECODE=pl.NODECODE and p.PLACECODE=pl.PLACECODE where o.NODECODE='01' and o.SYSTEMBOOKING='Y' and d.SEATAMOUNT<>0 and o.ORDERSTATUS='B' and p.SaleEndTime >= cast('Now' as timestamp)  and o.CREATETIME>='2026-11-01 00:00:00' and o.CREATETIME<='2026-12-08'

-- id: salecore.select_order.by_name
-- label: The same, narrowed by a customer name fragment
-- call: GetData
select o.CREATETIME,d.PRICELEVEL,d.PRICE,o.RECEIVABLES,o.SEATCOUNT,c.CNAME,c.TEL,c.CLIENTLEVEL,d.DISCOUNT,o.ORDERCODE,o.CREATEUSER,o.ORDERSTATUS,o.PAYEE,o.GATHERINGTIME,o.ISPRINTPRICE,d.PRINTORIGINAL,p.PRODUCTCODE,p.HAPPENTIME,p.CNAME as PRODUCTNAME, o.saleclasscode, o.ISPLACERESERVE,s.cname as SaleClassName, o.ISGIFT, pl.PLACECODE,pl.CNAME as PLACENAME ,p.UserRegType,p.PRODUCTOWNERGROUP,  o.FetchWay,c.CADDRESS,c.CellPhone,c.IdentTypeID,c.IdentCode,o.InVoiceHead,c.Comment from KAV_ORDER_SHOW o left join KAV_SaleClass s on o.SaleClassCode = s.SaleClassCode and o.nodecode = s.nodecode and o.productcode = s.productcode inner join KAV_ORDER_DISCOUNT_SHOW d on o.NODECODE=d.NODECODE and o.ORDERCODE=d.ORDERCODE inner join KAV_ORDER_CLIENT_SHOW c on o.NODECODE=c.NODECODE and o.ORDERCODE=c.ORDERCODE inner join KAV_PRODUCT P on o.NODECODE=p.NODECODE and o.PRODUCTCODE=p.PRODUCTCODE and p.STATUS<>'9'  inner join KAV_PLACE pl on p.NODECODE=pl.NODECODE and p.PLACECODE=pl.PLACECODE where o.NODECODE='01' and o.SYSTEMBOOKING='Y' and d.SEATAMOUNT<>0 and o.ORDERSTATUS='B' and p.SaleEndTime >= cast('Now' as timestamp)  and o.CREATETIME>='2026-11-01 00:00:00' and o.CREATETIME<='2026-12-08' and c.CNAME like '%张%'

-- id: salecore.book_seat_info
-- label: Booked seats of an order with section, floor and row names
-- call: GetData
 select e.cname as SectionName, f.name as FloorName,  r.name as RowName, s.SeatCode, s.SeatNo, s.Status, s.PriceLevel from  KAV_SEAT_SHOW s inner join kav_section_show e  on s.sectioncode = e.sectioncode inner join kav_floor_show f  on s.sectioncode = f.sectioncode  and s.floorno = f.floorno  inner join kav_row_show r on s.sectioncode = r.sectioncode and  s.floorno = r.floorno and s.rowno = r.rowno where s.ORDERCODE = 'D0000001' order by s.PriceLevel, s.RowNo, s.Y, s.X

-- id: salecore.section_data
-- label: Section of a seat (seat code given bare)
-- call: GetData
select s.SectionCode,s.BACKPIC,s.TTC_SectionGroupCode from KAV_SECTION_SHOW s inner join kav_seat_show t on s.NODECODE=t.NODECODE and s.sectioncode=t.sectioncode where t.seatcode=1001

-- id: salecore.section_data.quoted
-- label: Section of a seat (seat code given quoted by the caller)
-- call: GetData
select s.SectionCode,s.BACKPIC,s.TTC_SectionGroupCode from KAV_SECTION_SHOW s inner join kav_seat_show t on s.NODECODE=t.NODECODE and s.sectioncode=t.sectioncode where t.seatcode='1001'

-- id: salecore.idtype_brief
-- label: Identity types of the node for the customer registration window
-- call: GetData
 Select IDENTTYPEID,IDENTTYPENAME from KAV_MEMBER_IDENTTYPE  where NODECODE = '01'

-- id: salecore.group_max_sale_money
-- label: The selling group's sales ceiling set by a group, with the names of both groups and its creator
-- call: GetData
select NodeCode, GroupCode, GroupName, ActualSaleMoney, MaxSaleMoney, CreateUser, CreateUserName, CreateTime, GroupOwnerCode, CreateGroup, CreateGroupName from (select g.NODECODE as NodeCode, g.GROUPCODE as GroupCode, gr.CNAME as GroupName, g.ACTUALSALEMONEY as ActualSaleMoney, g.MAXSALEMONEY as MaxSaleMoney, g.CREATEUSER as CreateUser, u.CNAME as CreateUserName, g.CREATETIME as CreateTime, gr.OWNERCODE as GroupOwnerCode, g.CREATEGROUP as CreateGroup, cg.CNAME as CreateGroupName from KAV_GROUPMAXSALEMONY g left join KAV_GROUP gr on gr.GROUPCODE = g.GROUPCODE left join KAV_GROUP cg on cg.GROUPCODE = g.CREATEGROUP left join KAV_USER u on u.USERCODE = g.CREATEUSER) m where NodeCode = '01' and GroupCode = 'G001' and CreateGroup = 'G002'

-- id: salecore.group_ceiling_check
-- label: What the selling group has sold and may sell under a group's ceiling
-- call: GetData
select ACTUALSALEMONEY, MAXSALEMONEY from KAV_GROUPMAXSALEMONY where NODECODE = '01' and GROUPCODE = 'G001' and CREATEGROUP = 'G002'

-- id: salecore.section_group_code
-- label: Section group code of a section of a performance
-- call: GetData
 Select TTC_SectionGroupCode from KAV_SECTION_SHOW  where ProductCode = 'P0001' and SectionCode = 'S0101'

-- id: order.by_code
-- label: Orders by exact order code
-- call: MasterData
-- detail: OrderDiscountDataSet order.discount_detail
select o.NODECODE, o.ORDERCODE, o.SaleClassCode, o.SectionCode, o.ORDERFROM, o.ProductCode, o.INVOICEHEAD, p.CNAME as PRODUCTNAME, p.PRODUCTOWNERGROUP, o.IsGift, o.MEMBERID, l.CNAME as PLACENAME, p.HAPPENTIME as PRODUCTHAPPENTIME, p.USERREGTYPE, s.CNAME as SALECLASSNAME, o.SEATCOUNT, o.RECEIVABLES, g.OWNERCODE, g.GROUPTYPE, o.CREATEGROUP, g.CNAME as CREATEGROUPNAME, o.CREATEUSER, o.MEMBERCARDNO, u.CNAME as USERNAME, cast(u1.CNAME as VARCHAR(100)) as ORDERHANDLERUSERNAME, o.CREATETIME as ORDERTIME, o.CLIENTTYPE, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CNAME end as CUSTOMERNAME, case o.SALECLASSCODE when 'WEBDM' then '123' else c.CELLPHONE end as CUSTOMERCELLPHONE, case o.SALECLASSCODE when 'WEBDM' then '123' else c.TEL end as CUSTOMERTEL, case o.SALECLASSCODE when 'WEBDM' then '123' else c.EMAIL end as EMAIL, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CADDRESS end as FETCHADDRESS, case o.SALECLASSCODE when 'WEBDM' then '' else c.IDENTCODE end as IDENTCODE, c.Comment as ShippingComment, c.sex, c.CLIENTLEVEL, c.IDENTTYPEID, o.FETCHWAY, o.ORDERSTATUS, o.ORDERHANDLERUSER, g1.CName as ORDERHANDLERGROUP, o.ORDERHANDLERTIME, o.ORDERPASSWORD, i.IDENTTYPENAME, i.CERTIFICATETYPE, o.PAYMODECODE, o.ISFeeMember, o.ISPRINT from KAV_ORDER_SHOW o left join KAV_PRODUCT p on o.NODECODE = p.NODECODE and o.PRODUCTCODE = p.PRODUCTCODE left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on o.NODECODE = g.NODECODE and o.CREATEGROUP = g.GROUPCODE left join KAV_SALECLASS s on o.NODECODE = s.NODECODE and o.PRODUCTCODE = s.PRODUCTCODE and o.SALECLASSCODE = s.SALECLASSCODE left join KAV_ORDER_CLIENT_SHOW c on o.NODECODE = c.NODECODE and o.ORDERCODE = c.ORDERCODE left join KAV_MEMBER_IDENTTYPE i on c.NODECODE = i.NODECODE and c.IDENTTYPEID = i.IDENTTYPEID left join KAV_USER u on u.usercode = o.createuser left join KAV_USER u1 on u1.usercode = o.ORDERHANDLERUSER left join KAV_GROUP g1 on g1.groupcode = u1.groupcode where o.NODECODE = '01' and o.SEATCOUNT > 0 and o.OrderCode = 'D0000001'

-- id: order.by_password
-- label: Orders by collection password, made in the last 360 days (dates as yyyy-mm-dd)
-- call: MasterData
-- detail: OrderDiscountDataSet order.discount_detail
select o.NODECODE, o.ORDERCODE, o.SaleClassCode, o.SectionCode, o.ORDERFROM, o.ProductCode, o.INVOICEHEAD, p.CNAME as PRODUCTNAME, p.PRODUCTOWNERGROUP, o.IsGift, o.MEMBERID, l.CNAME as PLACENAME, p.HAPPENTIME as PRODUCTHAPPENTIME, p.USERREGTYPE, s.CNAME as SALECLASSNAME, o.SEATCOUNT, o.RECEIVABLES, g.OWNERCODE, g.GROUPTYPE, o.CREATEGROUP, g.CNAME as CREATEGROUPNAME, o.CREATEUSER, o.MEMBERCARDNO, u.CNAME as USERNAME, cast(u1.CNAME as VARCHAR(100)) as ORDERHANDLERUSERNAME, o.CREATETIME as ORDERTIME, o.CLIENTTYPE, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CNAME end as CUSTOMERNAME, case o.SALECLASSCODE when 'WEBDM' then '123' else c.CELLPHONE end as CUSTOMERCELLPHONE, case o.SALECLASSCODE when 'WEBDM' then '123' else c.TEL end as CUSTOMERTEL, case o.SALECLASSCODE when 'WEBDM' then '123' else c.EMAIL end as EMAIL, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CADDRESS end as FETCHADDRESS, case o.SALECLASSCODE when 'WEBDM' then '' else c.IDENTCODE end as IDENTCODE, c.Comment as ShippingComment, c.sex, c.CLIENTLEVEL, c.IDENTTYPEID, o.FETCHWAY, o.ORDERSTATUS, o.ORDERHANDLERUSER, g1.CName as ORDERHANDLERGROUP, o.ORDERHANDLERTIME, o.ORDERPASSWORD, i.IDENTTYPENAME, i.CERTIFICATETYPE, o.PAYMODECODE, o.ISFeeMember, o.ISPRINT from KAV_ORDER_SHOW o left join KAV_PRODUCT p on o.NODECODE = p.NODECODE and o.PRODUCTCODE = p.PRODUCTCODE left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on o.NODECODE = g.NODECODE and o.CREATEGROUP = g.GROUPCODE left join KAV_SALECLASS s on o.NODECODE = s.NODECODE and o.PRODUCTCODE = s.PRODUCTCODE and o.SALECLASSCODE = s.SALECLASSCODE left join KAV_ORDER_CLIENT_SHOW c on o.NODECODE = c.NODECODE and o.ORDERCODE = c.ORDERCODE left join KAV_MEMBER_IDENTTYPE i on c.NODECODE = i.NODECODE and c.IDENTTYPEID = i.IDENTTYPEID left join KAV_USER u on u.usercode = o.createuser left join KAV_USER u1 on u1.usercode = o.ORDERHANDLERUSER left join KAV_GROUP g1 on g1.groupcode = u1.groupcode where o.NODECODE = '01' and o.SEATCOUNT > 0 and o.ORDERPASSWORD = '123456' and (o.CREATETIME BETWEEN '2025-12-12' and '2026-12-08')

-- id: order.by_condition.bare
-- label: Detail search with every filter ignored and no group restriction
-- call: MasterData
-- detail: OrderDiscountDataSet order.discount_detail
select o.NODECODE, o.ORDERCODE, o.SaleClassCode, o.SectionCode, o.ORDERFROM, o.ProductCode, o.INVOICEHEAD, p.CNAME as PRODUCTNAME, p.PRODUCTOWNERGROUP, o.IsGift, o.MEMBERID, l.CNAME as PLACENAME, p.HAPPENTIME as PRODUCTHAPPENTIME, p.USERREGTYPE, s.CNAME as SALECLASSNAME, o.SEATCOUNT, o.RECEIVABLES, g.OWNERCODE, g.GROUPTYPE, o.CREATEGROUP, g.CNAME as CREATEGROUPNAME, o.CREATEUSER, o.MEMBERCARDNO, u.CNAME as USERNAME, cast(u1.CNAME as VARCHAR(100)) as ORDERHANDLERUSERNAME, o.CREATETIME as ORDERTIME, o.CLIENTTYPE, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CNAME end as CUSTOMERNAME, case o.SALECLASSCODE when 'WEBDM' then '123' else c.CELLPHONE end as CUSTOMERCELLPHONE, case o.SALECLASSCODE when 'WEBDM' then '123' else c.TEL end as CUSTOMERTEL, case o.SALECLASSCODE when 'WEBDM' then '123' else c.EMAIL end as EMAIL, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CADDRESS end as FETCHADDRESS, case o.SALECLASSCODE when 'WEBDM' then '' else c.IDENTCODE end as IDENTCODE, c.Comment as ShippingComment, c.sex, c.CLIENTLEVEL, c.IDENTTYPEID, o.FETCHWAY, o.ORDERSTATUS, o.ORDERHANDLERUSER, g1.CName as ORDERHANDLERGROUP, o.ORDERHANDLERTIME, o.ORDERPASSWORD, i.IDENTTYPENAME, i.CERTIFICATETYPE, o.PAYMODECODE, o.ISFeeMember, o.ISPRINT from KAV_ORDER_SHOW o left join KAV_PRODUCT p on o.NODECODE = p.NODECODE and o.PRODUCTCODE = p.PRODUCTCODE left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on o.NODECODE = g.NODECODE and o.CREATEGROUP = g.GROUPCODE left join KAV_SALECLASS s on o.NODECODE = s.NODECODE and o.PRODUCTCODE = s.PRODUCTCODE and o.SALECLASSCODE = s.SALECLASSCODE left join KAV_ORDER_CLIENT_SHOW c on o.NODECODE = c.NODECODE and o.ORDERCODE = c.ORDERCODE left join KAV_MEMBER_IDENTTYPE i on c.NODECODE = i.NODECODE and c.IDENTTYPEID = i.IDENTTYPEID left join KAV_USER u on u.usercode = o.createuser left join KAV_USER u1 on u1.usercode = o.ORDERHANDLERUSER left join KAV_GROUP g1 on g1.groupcode = u1.groupcode where o.NODECODE = '01' and o.SEATCOUNT > 0

-- id: order.by_condition.all_filters
-- label: Detail search with every filter in use: paid or collected call-centre orders, groups of one owner
-- call: MasterData
-- detail: OrderDiscountDataSet order.discount_detail
select o.NODECODE, o.ORDERCODE, o.SaleClassCode, o.SectionCode, o.ORDERFROM, o.ProductCode, o.INVOICEHEAD, p.CNAME as PRODUCTNAME, p.PRODUCTOWNERGROUP, o.IsGift, o.MEMBERID, l.CNAME as PLACENAME, p.HAPPENTIME as PRODUCTHAPPENTIME, p.USERREGTYPE, s.CNAME as SALECLASSNAME, o.SEATCOUNT, o.RECEIVABLES, g.OWNERCODE, g.GROUPTYPE, o.CREATEGROUP, g.CNAME as CREATEGROUPNAME, o.CREATEUSER, o.MEMBERCARDNO, u.CNAME as USERNAME, cast(u1.CNAME as VARCHAR(100)) as ORDERHANDLERUSERNAME, o.CREATETIME as ORDERTIME, o.CLIENTTYPE, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CNAME end as CUSTOMERNAME, case o.SALECLASSCODE when 'WEBDM' then '123' else c.CELLPHONE end as CUSTOMERCELLPHONE, case o.SALECLASSCODE when 'WEBDM' then '123' else c.TEL end as CUSTOMERTEL, case o.SALECLASSCODE when 'WEBDM' then '123' else c.EMAIL end as EMAIL, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CADDRESS end as FETCHADDRESS, case o.SALECLASSCODE when 'WEBDM' then '' else c.IDENTCODE end as IDENTCODE, c.Comment as ShippingComment, c.sex, c.CLIENTLEVEL, c.IDENTTYPEID, o.FETCHWAY, o.ORDERSTATUS, o.ORDERHANDLERUSER, g1.CName as ORDERHANDLERGROUP, o.ORDERHANDLERTIME, o.ORDERPASSWORD, i.IDENTTYPENAME, i.CERTIFICATETYPE, o.PAYMODECODE, o.ISFeeMember, o.ISPRINT from KAV_ORDER_SHOW o left join KAV_PRODUCT p on o.NODECODE = p.NODECODE and o.PRODUCTCODE = p.PRODUCTCODE left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on o.NODECODE = g.NODECODE and o.CREATEGROUP = g.GROUPCODE left join KAV_SALECLASS s on o.NODECODE = s.NODECODE and o.PRODUCTCODE = s.PRODUCTCODE and o.SALECLASSCODE = s.SALECLASSCODE left join KAV_ORDER_CLIENT_SHOW c on o.NODECODE = c.NODECODE and o.ORDERCODE = c.ORDERCODE left join KAV_MEMBER_IDENTTYPE i on c.NODECODE = i.NODECODE and c.IDENTTYPEID = i.IDENTTYPEID left join KAV_USER u on u.usercode = o.createuser left join KAV_USER u1 on u1.usercode = o.ORDERHANDLERUSER left join KAV_GROUP g1 on g1.groupcode = u1.groupcode where o.NODECODE = '01' and o.SEATCOUNT > 0 and o.CLIENTTYPE = '3' and ORDERSTATUS in ( 'R','A') and o.PRODUCTCODE in ('P0001','P0002') and o.ORDERFROM <> '3' and c.CNAME = 'O''Brien' and c.TEL = '010-88886666' and c.CELLPHONE = '13800138000' and i.CERTIFICATETYPE = 'ID' and c.IDENTCODE = '110101199001011234' and o.CREATETIME >= '2026-11-01 00:00:00' and o.CREATETIME <= '2026-12-07 23:59:59' and o.ORDERHANDLERTIME >= '2026-11-01 08:00:00' and o.ORDERHANDLERTIME <= '2026-12-07 18:00:00' and o.FAILTIME >= '2026-12-01 00:00:00' and o.FAILTIME <= '2026-12-31 23:59:59' and o.MEMBERCARDNO = '8800001' and (g.OWNERCODE = 'OWN1' or g.GroupCode ='OWN1') and c.EMAIL like '%abc%' and c.Comment like '%淘宝%'

-- id: order.by_condition.online
-- label: Detail search of unhandled online orders (no group restriction for online orders)
-- call: MasterData
-- detail: OrderDiscountDataSet order.discount_detail
select o.NODECODE, o.ORDERCODE, o.SaleClassCode, o.SectionCode, o.ORDERFROM, o.ProductCode, o.INVOICEHEAD, p.CNAME as PRODUCTNAME, p.PRODUCTOWNERGROUP, o.IsGift, o.MEMBERID, l.CNAME as PLACENAME, p.HAPPENTIME as PRODUCTHAPPENTIME, p.USERREGTYPE, s.CNAME as SALECLASSNAME, o.SEATCOUNT, o.RECEIVABLES, g.OWNERCODE, g.GROUPTYPE, o.CREATEGROUP, g.CNAME as CREATEGROUPNAME, o.CREATEUSER, o.MEMBERCARDNO, u.CNAME as USERNAME, cast(u1.CNAME as VARCHAR(100)) as ORDERHANDLERUSERNAME, o.CREATETIME as ORDERTIME, o.CLIENTTYPE, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CNAME end as CUSTOMERNAME, case o.SALECLASSCODE when 'WEBDM' then '123' else c.CELLPHONE end as CUSTOMERCELLPHONE, case o.SALECLASSCODE when 'WEBDM' then '123' else c.TEL end as CUSTOMERTEL, case o.SALECLASSCODE when 'WEBDM' then '123' else c.EMAIL end as EMAIL, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CADDRESS end as FETCHADDRESS, case o.SALECLASSCODE when 'WEBDM' then '' else c.IDENTCODE end as IDENTCODE, c.Comment as ShippingComment, c.sex, c.CLIENTLEVEL, c.IDENTTYPEID, o.FETCHWAY, o.ORDERSTATUS, o.ORDERHANDLERUSER, g1.CName as ORDERHANDLERGROUP, o.ORDERHANDLERTIME, o.ORDERPASSWORD, i.IDENTTYPENAME, i.CERTIFICATETYPE, o.PAYMODECODE, o.ISFeeMember, o.ISPRINT from KAV_ORDER_SHOW o left join KAV_PRODUCT p on o.NODECODE = p.NODECODE and o.PRODUCTCODE = p.PRODUCTCODE left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on o.NODECODE = g.NODECODE and o.CREATEGROUP = g.GROUPCODE left join KAV_SALECLASS s on o.NODECODE = s.NODECODE and o.PRODUCTCODE = s.PRODUCTCODE and o.SALECLASSCODE = s.SALECLASSCODE left join KAV_ORDER_CLIENT_SHOW c on o.NODECODE = c.NODECODE and o.ORDERCODE = c.ORDERCODE left join KAV_MEMBER_IDENTTYPE i on c.NODECODE = i.NODECODE and c.IDENTTYPEID = i.IDENTTYPEID left join KAV_USER u on u.usercode = o.createuser left join KAV_USER u1 on u1.usercode = o.ORDERHANDLERUSER left join KAV_GROUP g1 on g1.groupcode = u1.groupcode where o.NODECODE = '01' and o.SEATCOUNT > 0 and ORDERSTATUS = 'N' and o.ORDERFROM = '3'

-- id: order.by_condition.own_group
-- label: Detail search of call-centre orders of any status made by the user's own group
-- call: MasterData
-- detail: OrderDiscountDataSet order.discount_detail
select o.NODECODE, o.ORDERCODE, o.SaleClassCode, o.SectionCode, o.ORDERFROM, o.ProductCode, o.INVOICEHEAD, p.CNAME as PRODUCTNAME, p.PRODUCTOWNERGROUP, o.IsGift, o.MEMBERID, l.CNAME as PLACENAME, p.HAPPENTIME as PRODUCTHAPPENTIME, p.USERREGTYPE, s.CNAME as SALECLASSNAME, o.SEATCOUNT, o.RECEIVABLES, g.OWNERCODE, g.GROUPTYPE, o.CREATEGROUP, g.CNAME as CREATEGROUPNAME, o.CREATEUSER, o.MEMBERCARDNO, u.CNAME as USERNAME, cast(u1.CNAME as VARCHAR(100)) as ORDERHANDLERUSERNAME, o.CREATETIME as ORDERTIME, o.CLIENTTYPE, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CNAME end as CUSTOMERNAME, case o.SALECLASSCODE when 'WEBDM' then '123' else c.CELLPHONE end as CUSTOMERCELLPHONE, case o.SALECLASSCODE when 'WEBDM' then '123' else c.TEL end as CUSTOMERTEL, case o.SALECLASSCODE when 'WEBDM' then '123' else c.EMAIL end as EMAIL, case o.SALECLASSCODE when 'WEBDM' then '大麦购票' else c.CADDRESS end as FETCHADDRESS, case o.SALECLASSCODE when 'WEBDM' then '' else c.IDENTCODE end as IDENTCODE, c.Comment as ShippingComment, c.sex, c.CLIENTLEVEL, c.IDENTTYPEID, o.FETCHWAY, o.ORDERSTATUS, o.ORDERHANDLERUSER, g1.CName as ORDERHANDLERGROUP, o.ORDERHANDLERTIME, o.ORDERPASSWORD, i.IDENTTYPENAME, i.CERTIFICATETYPE, o.PAYMODECODE, o.ISFeeMember, o.ISPRINT from KAV_ORDER_SHOW o left join KAV_PRODUCT p on o.NODECODE = p.NODECODE and o.PRODUCTCODE = p.PRODUCTCODE left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on o.NODECODE = g.NODECODE and o.CREATEGROUP = g.GROUPCODE left join KAV_SALECLASS s on o.NODECODE = s.NODECODE and o.PRODUCTCODE = s.PRODUCTCODE and o.SALECLASSCODE = s.SALECLASSCODE left join KAV_ORDER_CLIENT_SHOW c on o.NODECODE = c.NODECODE and o.ORDERCODE = c.ORDERCODE left join KAV_MEMBER_IDENTTYPE i on c.NODECODE = i.NODECODE and c.IDENTTYPEID = i.IDENTTYPEID left join KAV_USER u on u.usercode = o.createuser left join KAV_USER u1 on u1.usercode = o.ORDERHANDLERUSER left join KAV_GROUP g1 on g1.groupcode = u1.groupcode where o.NODECODE = '01' and o.SEATCOUNT > 0 and o.ORDERFROM <> '3' and o.CREATEGROUP = 'G001'

-- id: order.discount_detail
-- label: Price level lines of each order, nested under the order rows
-- call: DetailData
-- params: NodeCode OrderCode
 Select NodeCode,OrderCode,SeatAmount,Price,TicketPrice,Discount from KAV_ORDER_DISCOUNT_SHOW  where NodeCode=:NodeCode and OrderCode=:OrderCode and SeatAmount > 0 

-- id: order.seat_detail
-- label: Seats of each order with prices, nested under the order rows (parameter form)
-- call: DetailData
-- params: NODECODE ORDERCODE
select s.OrderCode,e.cname as SectionName, f.name as FloorName, r.name as RowName, s.SeatCode, s.SeatNo, s.Status, s.PriceLevel, d.Price, d.Discount, d.TOTALPRICE, d.SeatAmount from KAV_SEAT_SHOW s left join KAV_ORDER_DISCOUNT_SHOW d on s.ordercode = d.ordercode and s.pricelevel = d.pricelevel left join kav_section_show e on s.sectioncode = e.sectioncode left join kav_floor_show f on s.sectioncode = f.sectioncode  and s.floorno = f.floorno left join kav_row_show r on s.sectioncode = r.sectioncode and s.floorno = r.floorno and s.rowno = r.rowno where s.NODECODE = :NODECODE and s.ORDERCODE = :ORDERCODE order by s.PriceLevel, s.RowNo, s.Y, s.X

-- id: order.seats
-- label: Seats of one order with prices
-- call: GetData
select s.OrderCode,e.cname as SectionName, f.name as FloorName, r.name as RowName, s.SeatCode, s.SeatNo, s.Status, s.PriceLevel, d.Price, d.Discount, d.TOTALPRICE, d.SeatAmount from KAV_SEAT_SHOW s left join KAV_ORDER_DISCOUNT_SHOW d on s.ordercode = d.ordercode and s.pricelevel = d.pricelevel left join kav_section_show e on s.sectioncode = e.sectioncode left join kav_floor_show f on s.sectioncode = f.sectioncode  and s.floorno = f.floorno left join kav_row_show r on s.sectioncode = r.sectioncode and s.floorno = r.floorno and s.rowno = r.rowno where s.NODECODE = '01' and s.ORDERCODE = 'D0000001' order by s.PriceLevel, s.RowNo, s.Y, s.X

-- id: sysinfo.order_valid_day
-- label: Switch: expiry-date search enabled
-- call: GetData
 Select ISVALID from KAV_SYSINFO_SHOW where CUSTOMMODULE = 'ORDER_VALID_DAY' 

-- id: sysinfo.control_out_print_kind
-- label: Switch: multi-order collection
-- call: GetData
select ISVALID from KAV_SYSINFO_SHOW where CUSTOMMODULE='CONTROLOUTPRINTKIND'

-- id: lookup.certificate_types
-- label: Certificate types
-- call: GetData
select IDENTTYPEID, IDENTTYPENAME, CERTIFICATETYPE from KAV_MEMBER_IDENTTYPE order by IDENTTYPEID

-- id: lookup.places
-- label: Venues of the node
-- call: GetData
SELECT PLACECODE, CNAME FROM KAV_PLACE WHERE NODECODE = '01'

-- id: lookup.product_classes
-- label: Performance kinds of the node
-- call: GetData
SELECT PRODUCTCLASSCODE, CNAME FROM KAV_PRODUCTCLASS WHERE NODECODE = '01'

-- id: lookup.sections
-- label: Sections of a performance by name
-- call: GetData
Select SECTIONCODE, CNAME from KAV_SECTION_SHOW where NODECODE = '01' and PRODUCTCODE = 'P0001' order by CNAME

-- id: lookup.pay_modes
-- label: Pay modes per action module in display order
-- call: GetData
 select d.PAYMODECODE, d.ACTIONMODULE, p.CNAME,d.IsPrintNote from KAV_PAYMODE_DISPLAY d inner join KAV_PAYMODE p  on d.PAYMODECODE = p.PAYMODECODE Order by p.Display 

-- id: lookup.credit_companies
-- label: Valid credit companies of the site
-- call: GetData
 select * from KAV_CREDIT_COMPONY where NodeCode = '01' and ISValid = 'Y' and OwnerCode = 'TOLVA' order by COMPONY_NAME

-- id: sysinfo.all
-- label: Every site switch (member purchase posting)
-- call: GetData
 Select * from KAV_SYSINFO_SHOW 

-- id: sysinfo.connect_umn_by_db
-- label: Switch: member system reached through the database
-- call: GetData
 select ISVALID from KAV_SYSINFO_SHOW where CUSTOMMODULE = 'CONNECTUMNBYDB'

-- id: product.search
-- label: Performances on sale in a time range
-- call: GetData
SELECT p.NODECODE, p.PRODUCTCODE, p.CNAME, p.HAPPENTIME,p.PRODUCTOWNERGROUP,l.CName as PLACENAME FROM KAV_PRODUCT p inner join KAV_PLACE l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode WHERE p.NODECODE = '01' and p.STATUS IN ('5', '6') and p.HAPPENTIME BETWEEN '2026-11-22 00:00:00' and '2027-02-05 00:00:00'

-- id: product.search.narrowed
-- label: Performances on sale in a time range, narrowed by venue, kind and name
-- call: GetData
SELECT p.NODECODE, p.PRODUCTCODE, p.CNAME, p.HAPPENTIME,p.PRODUCTOWNERGROUP,l.CName as PLACENAME FROM KAV_PRODUCT p inner join KAV_PLACE l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode WHERE p.NODECODE = '01' and p.STATUS IN ('5', '6') and p.HAPPENTIME BETWEEN '2026-11-22 00:00:00' and '2027-02-05 00:00:00' and p.PLACECODE = 'PL01' and p.PRODUCTCLASSCODE = 'PC01' and p.CNAME like '%新年%'

-- id: customer.update_client
-- label: Write the customer details of an order (first of two requests)
-- call: ExecSQL
update KAV_ORDER_CLIENT_SHOW set CNAME = 'O''Brien', CADDRESS = '北京市东城区东单1号', TEL = '010-88886666', CELLPHONE = '13800138000', IDENTTYPEID = 1, IDENTCODE = '110101199001011234', COMMENT = 'call after 6 pm' where NODECODE = '01' and ORDERCODE = 'D0000001'

-- id: customer.update_comment
-- label: Write only the shipping comment of an order whose customer details are masked (first of two requests)
-- call: ExecSQL
update KAV_ORDER_CLIENT_SHOW set COMMENT = 'call after 6 pm' where NODECODE = '01' and ORDERCODE = 'D0000003'

-- id: customer.update_order
-- label: Write invoice head and shipping way of an order (second request)
-- call: ExecSQL
update KAV_ORDER_SHOW set INVOICEHEAD = 'ACME Ltd.', FETCHWAY = '2' where NODECODE = '01' and ORDERCODE = 'D0000001'

-- id: split.reload_order
-- label: Reload an order as a single booked order before splitting it
-- call: GetData
select * from KAV_ORDER_SHOW where NODECODE='01' and ORDERSTATUS='B' and ORDERCODE='D0000001' and PRODUCTCODE='P0001'

-- id: split.suite_values
-- label: Suite terms of a sale class, one row per price level
-- call: GetData
 Select s.SaleClassCode,l.PriceLevel,s.TicketNum,l.TotalPrices,l.Discount,l.GiftNum from KAV_SALECLASS s  left join KAV_SALECLASSLEVEL l on s.ProductCode=l.ProductCode and s.SALECLASSCODE=l.SaleClassCode  where s.ProductCode = 'P0001' and s.SaleClassCode = 'SC02'

-- id: split.order_discount
-- label: Price level lines of the order being split
-- call: GetData
 Select PriceLevel,TotalPrice,TicketPrice,Price,Discount,OrderCode  from KAV_ORDER_DISCOUNT_SHOW where OrderCode = 'D0000001'

-- id: split.product
-- label: Venue, map and time of the order's performance
-- call: GetData
select PLACECODE,MAPCODE,DOMAINCODE,CNAME,HAPPENTIME from KAV_PRODUCT where NODECODE='01' and PRODUCTCODE='P0001'

-- id: split.place
-- label: Venue name
-- call: GetData
select CNAME from KAV_PLACE where NODECODE='01' and PLACECODE='PL01'

-- id: mapseatshow.products
-- label: Performances of the node with a seat map, newest first, for choosing a section to lay out
-- call: GetData
select PRODUCTCODE, CNAME, MAPCODE, HAPPENTIME from KAV_PRODUCT where NODECODE = '01' and MAPCODE is not null and STATUS <> '9' order by HAPPENTIME desc, PRODUCTCODE

-- id: report.perform.sale.all
-- label: Performance report sale rows, all sources, in a period
-- call: GetData
select r.ProductCode, p.CName as ProductName, p.HappenTime as HappenTime, l.CName as PlaceName, r.PRICELEVEL,r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, trim(r.SALECLASSCODE) as SALECLASSCODE, r.ORDERSOURCE, s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r left join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.AccountTime >= '2026-11-01 00:00:00' and r.AccountTime <= '2026-12-07 23:59:59' and r.ISPLACERESERVE ='N'

-- id: report.perform.sale.own
-- label: Performance report sale rows of the site's own sales, no period
-- call: GetData
-- note: coalesce: a row without accounting group or order creator is the site's own, not dropped by a comparison with null
select r.ProductCode, p.CName as ProductName, p.HappenTime as HappenTime, l.CName as PlaceName, r.PRICELEVEL,r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, trim(r.SALECLASSCODE) as SALECLASSCODE, r.ORDERSOURCE, s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r left join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode left join KAV_ORDER_SHOW o on o.OrderCode = r.OrderCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.ISPLACERESERVE ='N' and (coalesce(r.AccountGroup, '') not in (select groupcode  from kav_group where homepage='http://www.damai.cn') and  (coalesce(o.createuser, '') <> 'DMDZP')) 

-- id: report.perform.sale.partner
-- label: Performance report sale rows of the partner's sales, in a period
-- call: GetData
select r.ProductCode, p.CName as ProductName, p.HappenTime as HappenTime, l.CName as PlaceName, r.PRICELEVEL,r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, trim(r.SALECLASSCODE) as SALECLASSCODE, r.ORDERSOURCE, s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r left join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode left join KAV_ORDER_SHOW o on o.OrderCode = r.OrderCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.AccountTime >= '2026-11-01 00:00:00' and r.AccountTime <= '2026-12-07 23:59:59' and r.ISPLACERESERVE ='N' and (r.AccountGroup in (select groupcode  from kav_group where homepage='http://www.damai.cn') or (o.createuser = 'DMDZP')) 

-- id: report.perform.payment
-- label: Performance report money per product, pay mode and price level in a period
-- call: GetData
-- note: place reservations left out, as in the sale rows, so the payments add up to the money sold
select r.PRODUCTCODE, r.PaymodeCode, r.PriceLevel, min(p.cname) as PayName, sum(r.price) AS PRICE from kav_report_show r left join kav_paymode p on r.paymodecode = p.PayModeCode  where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.AccountTime >= '2026-11-01 00:00:00' and r.AccountTime <= '2026-12-07 23:59:59' and r.ISPLACERESERVE ='N' group by r.PRODUCTCODE,r.PaymodeCode,r.PriceLevel

-- id: report.perform.payment.unbounded
-- label: The same without a period (a bound is not set)
-- call: GetData
-- note: sent instead of period clauses against date-time zero, which would match nothing; mirrors the sale query
select r.PRODUCTCODE, r.PaymodeCode, r.PriceLevel, min(p.cname) as PayName, sum(r.price) AS PRICE from kav_report_show r left join kav_paymode p on r.paymodecode = p.PayModeCode  where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.ISPLACERESERVE ='N' group by r.PRODUCTCODE,r.PaymodeCode,r.PriceLevel

-- id: report.perform.payment.own
-- label: Performance report money of the site's own sales per product, pay mode and price level in a period
-- call: GetData
-- note: the payments follow the sales the report counts
select r.PRODUCTCODE, r.PaymodeCode, r.PriceLevel, min(p.cname) as PayName, sum(r.price) AS PRICE from kav_report_show r left join kav_paymode p on r.paymodecode = p.PayModeCode left join KAV_ORDER_SHOW o on o.OrderCode = r.OrderCode  where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.AccountTime >= '2026-11-01 00:00:00' and r.AccountTime <= '2026-12-07 23:59:59' and r.ISPLACERESERVE ='N' and (coalesce(r.AccountGroup, '') not in (select groupcode  from kav_group where homepage='http://www.damai.cn') and  (coalesce(o.createuser, '') <> 'DMDZP'))  group by r.PRODUCTCODE,r.PaymodeCode,r.PriceLevel

-- id: report.user.sale.g0_t0
-- label: User report sale rows, any type, any side, in a period
-- call: GetData
select r.AccountUser as UserCode, u.CName as UserName, r.ProductCode, l.CName as PlaceName, p.CName as ProductName, p.HappenTime, r.PRICELEVEL, r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.PlaceCode = l.PlaceCode  and p.NodeCode=l.NodeCode  left join KAV_User u on r.NodeCode = u.NodeCode and r.AccountUser = u.UserCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode  left join KAV_GROUP g  on r.AccountGroup = g.GroupCode  where r.NODECODE = '01' and r.AccountUser in ('U001','DMDZP') and r.ProductCode in ('P0001','P0002') and r.AccountTime >= '2026-11-01 00:00:00' and r.AccountTime <= '2026-12-07 23:59:59' and r.ISPLACERESERVE = 'N'

-- id: report.user.sale.g1_t2
-- label: User report sale rows, online sales, theatre side
-- call: GetData
-- note: coalesce: a row without sale class, order source or accounting group counts as the theatre's, not dropped by a comparison with null
select r.AccountUser as UserCode, u.CName as UserName, r.ProductCode, l.CName as PlaceName, p.CName as ProductName, p.HappenTime, r.PRICELEVEL, r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.PlaceCode = l.PlaceCode  and p.NodeCode=l.NodeCode  left join KAV_User u on r.NodeCode = u.NodeCode and r.AccountUser = u.UserCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode  left join KAV_GROUP g  on r.AccountGroup = g.GroupCode  where r.NODECODE = '01' and r.AccountUser in ('U001','DMDZP') and r.ProductCode in ('P0001','P0002') and r.ISPLACERESERVE = 'N' and r.orderfrom='3'  and coalesce(r.SALECLASSCODE, '') not like 'WEBDM%'

-- id: report.user.sale.g1_t1
-- label: User report sale rows, system sales, theatre side
-- call: GetData
-- note: coalesce: a row without sale class, order source or accounting group counts as the theatre's, not dropped by a comparison with null
select r.AccountUser as UserCode, u.CName as UserName, r.ProductCode, l.CName as PlaceName, p.CName as ProductName, p.HappenTime, r.PRICELEVEL, r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.PlaceCode = l.PlaceCode  and p.NodeCode=l.NodeCode  left join KAV_User u on r.NodeCode = u.NodeCode and r.AccountUser = u.UserCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode  left join KAV_GROUP g  on r.AccountGroup = g.GroupCode  where r.NODECODE = '01' and r.AccountUser in ('U001','DMDZP') and r.ProductCode in ('P0001','P0002') and r.ISPLACERESERVE = 'N' and coalesce(r.orderfrom, '')<>'3'  and (coalesce(r.AccountGroup, '') not in (select groupcode  from kav_group where homepage='http://www.damai.cn') and coalesce(r.AccountGroup, '') <> 'DMDZP') 

-- id: report.user.sale.g1_t0
-- label: User report sale rows, any type, theatre side, in a period
-- call: GetData
-- note: coalesce: a row without sale class, order source or accounting group counts as the theatre's, not dropped by a comparison with null
select r.AccountUser as UserCode, u.CName as UserName, r.ProductCode, l.CName as PlaceName, p.CName as ProductName, p.HappenTime, r.PRICELEVEL, r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.PlaceCode = l.PlaceCode  and p.NodeCode=l.NodeCode  left join KAV_User u on r.NodeCode = u.NodeCode and r.AccountUser = u.UserCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode  left join KAV_GROUP g  on r.AccountGroup = g.GroupCode  where r.NODECODE = '01' and r.AccountUser in ('U001','DMDZP') and r.ProductCode in ('P0001','P0002') and r.AccountTime >= '2026-11-01 00:00:00' and r.AccountTime <= '2026-12-07 23:59:59' and r.ISPLACERESERVE = 'N'  and ((coalesce(r.AccountGroup, '') not in (select groupcode  from kav_group where homepage='http://www.damai.cn') and coalesce(r.AccountGroup, '') <> 'DMDZP') and  coalesce(r.SALECLASSCODE, '') not like 'WEBDM%') 

-- id: report.user.sale.g2_t2
-- label: User report sale rows, online sales, partner side
-- call: GetData
select r.AccountUser as UserCode, u.CName as UserName, r.ProductCode, l.CName as PlaceName, p.CName as ProductName, p.HappenTime, r.PRICELEVEL, r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.PlaceCode = l.PlaceCode  and p.NodeCode=l.NodeCode  left join KAV_User u on r.NodeCode = u.NodeCode and r.AccountUser = u.UserCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode  left join KAV_GROUP g  on r.AccountGroup = g.GroupCode  where r.NODECODE = '01' and r.AccountUser in ('U001','DMDZP') and r.ProductCode in ('P0001','P0002') and r.ISPLACERESERVE = 'N' and r.orderfrom='3'  and r.SALECLASSCODE  like 'WEBDM%'

-- id: report.user.sale.g2_t1
-- label: User report sale rows, system sales, partner side
-- call: GetData
-- note: coalesce: a row without sale class, order source or accounting group counts as the theatre's, not dropped by a comparison with null
select r.AccountUser as UserCode, u.CName as UserName, r.ProductCode, l.CName as PlaceName, p.CName as ProductName, p.HappenTime, r.PRICELEVEL, r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.PlaceCode = l.PlaceCode  and p.NodeCode=l.NodeCode  left join KAV_User u on r.NodeCode = u.NodeCode and r.AccountUser = u.UserCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode  left join KAV_GROUP g  on r.AccountGroup = g.GroupCode  where r.NODECODE = '01' and r.AccountUser in ('U001','DMDZP') and r.ProductCode in ('P0001','P0002') and r.ISPLACERESERVE = 'N' and coalesce(r.orderfrom, '')<>'3'  and (r.AccountGroup  in (select groupcode  from kav_group where homepage='http://www.damai.cn') or r.AccountGroup = 'DMDZP') 

-- id: report.user.sale.g2_t0
-- label: User report sale rows, any type, partner side
-- call: GetData
select r.AccountUser as UserCode, u.CName as UserName, r.ProductCode, l.CName as PlaceName, p.CName as ProductName, p.HappenTime, r.PRICELEVEL, r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.PlaceCode = l.PlaceCode  and p.NodeCode=l.NodeCode  left join KAV_User u on r.NodeCode = u.NodeCode and r.AccountUser = u.UserCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode  left join KAV_GROUP g  on r.AccountGroup = g.GroupCode  where r.NODECODE = '01' and r.AccountUser in ('U001','DMDZP') and r.ProductCode in ('P0001','P0002') and r.ISPLACERESERVE = 'N'  and ((r.AccountGroup  in (select groupcode  from kav_group where homepage='http://www.damai.cn') or r.AccountGroup = 'DMDZP') or  r.SALECLASSCODE  like 'WEBDM%') 

-- id: report.group.sale.g0_t0
-- label: Group report sale rows, any type, any side, in a period
-- call: GetData
 select r.ProductCode, g.GroupCode, g.CName as GroupName, p.CName as ProductName, p.HappenTime as HappenTime, l.CName as PlaceName, r.PRICELEVEL,r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Group g on r.NodeCode = g.NodeCode and r.AccountGroup = g.GroupCode left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.AccountGroup in ('G001','DM01') and r.AccountTime >= '2026-11-01 00:00:00' and r.AccountTime <= '2026-12-07 23:59:59' and r.ISPLACERESERVE ='N'

-- id: report.group.sale.g2_t1
-- label: Group report sale rows, system sales, partner side
-- call: GetData
-- note: coalesce: a row without sale class, order source or accounting group counts as the theatre's, not dropped by a comparison with null
 select r.ProductCode, g.GroupCode, g.CName as GroupName, p.CName as ProductName, p.HappenTime as HappenTime, l.CName as PlaceName, r.PRICELEVEL,r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Group g on r.NodeCode = g.NodeCode and r.AccountGroup = g.GroupCode left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.AccountGroup in ('G001','DM01') and r.ISPLACERESERVE ='N' and coalesce(r.orderfrom, '')<>'3'  and (r.AccountGroup  in (select groupcode  from kav_group where homepage='http://www.damai.cn') or r.AccountGroup = 'DMDZP') 

-- id: report.group.sale.g1_t2
-- label: Group report sale rows, online sales, theatre side
-- call: GetData
-- note: coalesce: a row without sale class, order source or accounting group counts as the theatre's, not dropped by a comparison with null
 select r.ProductCode, g.GroupCode, g.CName as GroupName, p.CName as ProductName, p.HappenTime as HappenTime, l.CName as PlaceName, r.PRICELEVEL,r.DISCOUNT, r.AMOUNT,r.PRICE, r.SaleSort as SortCode, r.ActionKind, r.SALECLASSCODE,r.ORDERSOURCE,s.CNAME AS SALESORT, c.CName as SaleClass  from KAV_REPORT_SHOW r inner join KAV_SALE_SORT s on r.NODECODE=s.NODECODE and r.SALESORT=s.SORTCODE left join KAV_Group g on r.NodeCode = g.NodeCode and r.AccountGroup = g.GroupCode left join KAV_Product p on r.NodeCode = p.NodeCode and r.ProductCode = p.ProductCode left join KAV_Place l on p.NodeCode = l.NodeCode and p.PlaceCode = l.PlaceCode left join KAV_SaleClass c on r.ProductCode = c.ProductCode and r.SaleClassCode = c.SaleClassCode where r.NODECODE = '01' and r.ProductCode in ('P0001','P0002') and r.AccountGroup in ('G001','DM01') and r.ISPLACERESERVE ='N' and r.orderfrom='3'  and coalesce(r.SALECLASSCODE, '') not like 'WEBDM%'

-- id: report.lookup.products
-- label: Performances of the node for the report product box, latest first
-- call: GetData
select p.PRODUCTCODE as ProductCode, p.CNAME as ProductName, l.CNAME as PlaceName, p.HAPPENTIME as HappenTime, p.MAPCODE as MapCode, p.PLACECODE as PlaceCode, p.PRODUCTCLASSCODE as ProductClassCode, p.PRODUCTOWNERGROUP as OwnerGroup, g.CNAME as OwnerName from KAV_PRODUCT p left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on g.GROUPCODE = p.PRODUCTOWNERGROUP where p.NODECODE = '01' order by p.HAPPENTIME desc, p.PRODUCTCODE

-- id: report.lookup.products.named
-- label: The named performances of the node (the command-line reports), latest first
-- call: GetData
select p.PRODUCTCODE as ProductCode, p.CNAME as ProductName, l.CNAME as PlaceName, p.HAPPENTIME as HappenTime, p.MAPCODE as MapCode, p.PLACECODE as PlaceCode, p.PRODUCTCLASSCODE as ProductClassCode, p.PRODUCTOWNERGROUP as OwnerGroup, g.CNAME as OwnerName from KAV_PRODUCT p left join KAV_PLACE l on p.NODECODE = l.NODECODE and p.PLACECODE = l.PLACECODE left join KAV_GROUP g on g.GROUPCODE = p.PRODUCTOWNERGROUP where p.NODECODE = '01' and p.PRODUCTCODE in ('P0001','P0009') order by p.HAPPENTIME desc, p.PRODUCTCODE

-- id: report.lookup.saleclass_names
-- label: Sale class names of every performance, for the product box's sale class filter
-- call: GetData
select PRODUCTCODE, CNAME from KAV_SALECLASS where NODECODE = '01' order by PRODUCTCODE, SALECLASSCODE

-- id: report.lookup.places
-- label: Venues for the product box
-- call: GetData
select PLACECODE, CNAME from KAV_PLACE where NODECODE = '01' order by PLACECODE

-- id: report.lookup.product_classes
-- label: Kinds of performance for the product box
-- call: GetData
select PRODUCTCLASSCODE, CNAME from KAV_PRODUCTCLASS where NODECODE = '01' order by PRODUCTCLASSCODE

-- id: report.lookup.groups
-- label: Sales groups for the report trees
-- call: GetData
select GROUPCODE, CNAME, GROUPTYPE, OWNERCODE from KAV_GROUP where NODECODE = '01' order by GROUPCODE

-- id: report.lookup.users
-- label: Users under their groups for the user report tree
-- call: GetData
select USERCODE, CNAME, GROUPCODE, ISVALID from KAV_USER where NODECODE = '01' order by GROUPCODE, USERCODE

-- id: report.lookup.site_settings
-- label: The reports' site settings: the partner's web address and the name of the site's own sales
-- call: GetData
select CUSTOMMODULE, CNAME from KAV_SYSINFO_SHOW where CUSTOMMODULE in ('REPORTPARTNERHOMEPAGE', 'REPORTVENUENAME') and ISVALID = 'Y'

-- id: rights.order_handler
-- label: The user's own and the user's group's order-handler rights of one module (the own row wins)
-- call: GetData
select * from KAV_ORDERHANDLER_RIGHT where NODECODE = '01' and MODULECODE = '2' and ((SUBJECTKIND = 'U' and SUBJECTCODE = 'U001') or (SUBJECTKIND = 'G' and SUBJECTCODE = 'G001'))

-- id: member.customer_types
-- label: The member system's customer types with their display names
-- call: GetData
select CLIENTTYPE as CODE, CLIENTTYPENAME as NAME from KAV_MEMBER_CLIENTTYPE where NODECODE = '01' order by CLIENTTYPE

-- id: member.certificate_types
-- label: The member system's certificate types with their display names
-- call: GetData
select CERTIFICATETYPE as CODE, IDENTTYPENAME as NAME from KAV_MEMBER_IDENTTYPE where NODECODE = '01' order by IDENTTYPEID
