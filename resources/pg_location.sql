-- The running balance per goods, account mark and location on the server,
-- written beside the balance per goods and account mark (pg_balance.sql)
-- whenever that one is. A line without a location counts under 0.
CREATE OR REPLACE FUNCTION acc_location_put(g bigint, a bigint, loc bigint, iq double precision,
                                            iw double precision, eq double precision, ew double precision)
RETURNS void LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO tb_stock_location AS s (goodsId, accountId, locationId, importQty, importWeight, exportQty,
                                        exportWeight)
    VALUES (g, a, coalesce(loc, 0), iq, iw, eq, ew)
    ON CONFLICT (goodsId, accountId, locationId) DO UPDATE SET importQty = s.importQty + iq,
        importWeight = s.importWeight + iw, exportQty = s.exportQty + eq, exportWeight = s.exportWeight + ew;
END
$$;
