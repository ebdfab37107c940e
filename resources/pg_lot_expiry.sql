-- A head withdrawn (or deleted while approved) gives back the expiries its
-- lines brought: each lot it touched takes the earliest expiry of the
-- approved stock-in lines and incoming transfer lines that remain, as the
-- file's triggers and the rebuild find it.

CREATE OR REPLACE FUNCTION acc_lot_expiry(g bigint, a bigint, loc bigint, lot text) RETURNS text
LANGUAGE sql STABLE AS $$
SELECT min(e) FROM (
    SELECT nullif(d.expiryDate::text, '') AS e FROM tb_rk_detail d JOIN tb_rk_head h ON h.id = d.headId
    WHERE h.ispass = 1 AND h.accountId IS NOT DISTINCT FROM a AND d.goodsId IS NOT DISTINCT FROM g
      AND coalesce(d.locationId, 0) = loc AND coalesce(d.lotNo::text, '') = lot
    UNION ALL
    SELECT nullif(d.expiryDate::text, '') FROM tb_transfer_detail d JOIN tb_transfer_head h ON h.id = d.headId
    WHERE h.ispass = 1 AND h.accountId IS NOT DISTINCT FROM a AND d.goodsId IS NOT DISTINCT FROM g
      AND coalesce(d.toLocationId, 0) = loc AND coalesce(d.lotNo::text, '') = lot) x
$$;

-- Every line of one head added (sign 1) or taken away (-1) under the head's account mark.
CREATE OR REPLACE FUNCTION acc_lot_head(kind text, head bigint, account bigint, sign int) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    r record;
BEGIN
    FOR r IN EXECUTE acc_lot_moves(kind, (acc_lot_tables(kind)).details, quote_nullable(account) || '::bigint',
                                   'l.headId = ' || head) LOOP
        PERFORM acc_lot_put(r.g, r.a, r.loc, r.lot, CASE WHEN sign > 0 THEN r.e END, sign * r.iq, sign * r.iw,
                            sign * r.eq, sign * r.ew);
        IF sign < 0 AND r.iq <> 0 THEN
            UPDATE tb_stock_lot SET expiryDate = acc_lot_expiry(r.g, r.a, r.loc, r.lot)
            WHERE goodsId IS NOT DISTINCT FROM r.g AND accountId IS NOT DISTINCT FROM r.a AND locationId = r.loc
              AND lotNo = r.lot;
        END IF;
    END LOOP;
END
$$;
