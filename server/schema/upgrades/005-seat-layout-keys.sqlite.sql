-- No two seats of a performance's section share a cell or an identity (floor, row, seat, added). A
-- database that already holds such seats keeps its version: the step fails and names the index, and
-- the seats must be put right before the server can start on it.
create unique index KAV_SEAT_SHOW_PLACE on KAV_SEAT_SHOW (NODECODE, PRODUCTCODE, SECTIONCODE, Y, X);
create unique index KAV_SEAT_SHOW_IDENTITY on KAV_SEAT_SHOW (NODECODE, PRODUCTCODE, SECTIONCODE, FLOORNO, ROWNO,
    SEATNO, ISADDITION);
