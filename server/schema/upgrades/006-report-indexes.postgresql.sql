-- The seat counts of the performance report, by performance and level, and the payments a seller took in
-- a shift.
create index KAV_SEAT_SHOW_PRODUCT on KAV_SEAT_SHOW (NODECODE, PRODUCTCODE, PRICELEVEL, MAPCODE, ISADDITION, STATUS);
create index KAV_ACCOUNT_SHOW_USER on KAV_ACCOUNT_SHOW (NODECODE, ACCOUNTUSER, ACCOUNTTIME);
