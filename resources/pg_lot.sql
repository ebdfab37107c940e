-- The balance per lot on the server: per goods, account mark, location (0
-- for none) and lot ('' for none), the pieces and the weight of the
-- approved stock-in, stock-out and transfer lines, with the rules of the
-- file's triggers. What comes in (stock-in, the to end of a transfer)
-- registers its expiry with its lot: the earliest one stays. A head's lines
-- are applied in goods, location and lot order, as the other balances' are.

CREATE OR REPLACE FUNCTION acc_lot_put(g bigint, a bigint, loc bigint, lot text, expiry text, iq double precision,
                                       iw double precision, eq double precision, ew double precision)
RETURNS void LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO tb_stock_lot AS s (goodsId, accountId, locationId, lotNo, expiryDate, importQty, importWeight,
                                   exportQty, exportWeight)
    VALUES (g, a, coalesce(loc, 0), coalesce(lot, ''), nullif(expiry, ''), iq, iw, eq, ew)
    ON CONFLICT (goodsId, accountId, locationId, lotNo) DO UPDATE SET importQty = s.importQty + iq,
        importWeight = s.importWeight + iw, exportQty = s.exportQty + eq, exportWeight = s.exportWeight + ew,
        expiryDate = CASE WHEN nullif(expiry, '') IS NULL THEN s.expiryDate
                          WHEN s.expiryDate IS NULL OR nullif(expiry, '') < s.expiryDate THEN nullif(expiry, '')
                          ELSE s.expiryDate END;
END
$$;

-- The query of the lot moves of a set of lines of a kind ('rk', 'ck' or 'db'):
-- a relation name (the kind's lines, or a statement's transition table,
-- which only the trigger's own function sees), the account mark and the
-- lines' condition as expressions over l (line) and h (its head, if still
-- there). Rows: goods, account, location, lot, the earliest expiry coming
-- in, the four figures (of one type whatever the kind: the triggers' plans
-- are kept between kinds).
CREATE OR REPLACE FUNCTION acc_lot_moves(kind text, lines text, account text, cond text) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
SELECT format(
    'SELECT g, a, loc, lot, min(e) AS e, sum(iq)::float8 AS iq, sum(iw)::float8 AS iw, sum(eq)::float8 AS eq, '
    'sum(ew)::float8 AS ew FROM (%s) m '
    'GROUP BY 1, 2, 3, 4 ORDER BY 1 NULLS FIRST, 2 NULLS FIRST, 3, 4',
    CASE kind
    WHEN 'db' THEN
        format('SELECT l.goodsId AS g, %2$s AS a, coalesce(l.fromLocationId, 0) AS loc, coalesce(l.lotNo::text, '''') AS lot, '
               'NULL::text AS e, 0 AS iq, 0 AS iw, coalesce(l.qty, 0) * coalesce(l.packQty, 0) AS eq, '
               'coalesce(l.qty, 0) * coalesce(l.weight, 0) AS ew FROM %1$s l LEFT JOIN tb_transfer_head h ON h.id = '
               'l.headId WHERE %3$s UNION ALL SELECT l.goodsId, %2$s, coalesce(l.toLocationId, 0), '
               'coalesce(l.lotNo::text, ''''), nullif(l.expiryDate::text, ''''), coalesce(l.qty, 0) * coalesce(l.packQty, 0), '
               'coalesce(l.qty, 0) * coalesce(l.weight, 0), 0, 0 FROM %1$s l LEFT JOIN tb_transfer_head h ON h.id = '
               'l.headId WHERE %3$s', lines, account, cond)
    ELSE
        format('SELECT l.goodsId AS g, %2$s AS a, coalesce(l.locationId, 0) AS loc, coalesce(l.lotNo::text, '''') AS lot, '
               '%4$s AS e, %5$s FROM %1$s l LEFT JOIN %6$I h ON h.id = l.headId WHERE %3$s', lines, account, cond,
               CASE WHEN kind = 'rk' THEN 'nullif(l.expiryDate::text, '''')' ELSE 'NULL::text' END,
               CASE WHEN kind = 'rk'
                    THEN 'coalesce(l.qty, 0) * coalesce(l.packQty, 0) AS iq, coalesce(l.qty, 0) * coalesce(l.weight, 0) AS iw, 0 AS eq, 0 AS ew'
                    ELSE '0 AS iq, 0 AS iw, coalesce(l.qty, 0) * coalesce(l.packQty, 0) AS eq, coalesce(l.qty, 0) * coalesce(l.weight, 0) AS ew'
               END,
               'tb_' || kind || '_head')
    END)
$$;

-- The head table and the line table of a kind.
CREATE OR REPLACE FUNCTION acc_lot_tables(kind text, OUT heads text, OUT details text)
LANGUAGE sql IMMUTABLE AS $$
SELECT CASE kind WHEN 'db' THEN 'tb_transfer_head' ELSE 'tb_' || kind || '_head' END,
       CASE kind WHEN 'db' THEN 'tb_transfer_detail' ELSE 'tb_' || kind || '_detail' END
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
    END LOOP;
END
$$;

-- Lines inserted or deleted by one statement.
CREATE OR REPLACE FUNCTION acc_tr_lot_lines() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    sign int := CASE WHEN TG_OP = 'DELETE' THEN -1 ELSE 1 END;
    r record;
BEGIN
    FOR r IN EXECUTE acc_lot_moves(TG_ARGV[0], CASE WHEN TG_OP = 'DELETE' THEN 'old_lines' ELSE 'new_lines' END,
                                   'h.accountId', 'h.ispass = 1') LOOP
        PERFORM acc_lot_put(r.g, r.a, r.loc, r.lot, CASE WHEN sign > 0 THEN r.e END, sign * r.iq, sign * r.iw,
                            sign * r.eq, sign * r.ew);
    END LOOP;
    RETURN NULL;
END
$$;

-- One line changed in place: taken away as it was, added as it is (each
-- through a one-row copy of itself read by the same query).
CREATE OR REPLACE FUNCTION acc_tr_lot_detail() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    r record;
BEGIN
    FOR r IN EXECUTE acc_lot_moves(TG_ARGV[0], '(SELECT ($1).*)',
                                   'h.accountId', 'h.ispass = 1') USING OLD LOOP
        PERFORM acc_lot_put(r.g, r.a, r.loc, r.lot, NULL, -r.iq, -r.iw, -r.eq, -r.ew);
    END LOOP;
    FOR r IN EXECUTE acc_lot_moves(TG_ARGV[0], '(SELECT ($1).*)',
                                   'h.accountId', 'h.ispass = 1') USING NEW LOOP
        PERFORM acc_lot_put(r.g, r.a, r.loc, r.lot, r.e, r.iq, r.iw, r.eq, r.ew);
    END LOOP;
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION acc_tr_lot_head() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP = 'UPDATE' AND OLD.id IS NOT DISTINCT FROM NEW.id AND OLD.ispass IS NOT DISTINCT FROM NEW.ispass
       AND OLD.accountId IS NOT DISTINCT FROM NEW.accountId THEN
        RETURN NULL;
    END IF;
    IF TG_OP IN ('UPDATE', 'DELETE') AND OLD.ispass = 1 THEN
        PERFORM acc_lot_head(TG_ARGV[0], OLD.id, OLD.accountId, -1);
    END IF;
    IF TG_OP IN ('UPDATE', 'INSERT') AND NEW.ispass = 1 THEN
        PERFORM acc_lot_head(TG_ARGV[0], NEW.id, NEW.accountId, 1);
    END IF;
    RETURN NULL;
END
$$;

CREATE TRIGGER tr_rk_detail_insert_lot AFTER INSERT ON tb_rk_detail REFERENCING NEW TABLE AS new_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_lot_lines('rk');
CREATE TRIGGER tr_rk_detail_delete_lot AFTER DELETE ON tb_rk_detail REFERENCING OLD TABLE AS old_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_lot_lines('rk');
CREATE TRIGGER tr_rk_detail_update_lot AFTER UPDATE OF goodsId, qty, packQty, weight, headId, locationId, lotNo,
    expiryDate ON tb_rk_detail FOR EACH ROW EXECUTE FUNCTION acc_tr_lot_detail('rk');
CREATE TRIGGER tr_rk_head_lot AFTER INSERT OR DELETE OR UPDATE OF id, ispass, accountId ON tb_rk_head
    FOR EACH ROW EXECUTE FUNCTION acc_tr_lot_head('rk');
CREATE TRIGGER tr_ck_detail_insert_lot AFTER INSERT ON tb_ck_detail REFERENCING NEW TABLE AS new_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_lot_lines('ck');
CREATE TRIGGER tr_ck_detail_delete_lot AFTER DELETE ON tb_ck_detail REFERENCING OLD TABLE AS old_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_lot_lines('ck');
CREATE TRIGGER tr_ck_detail_update_lot AFTER UPDATE OF goodsId, qty, packQty, weight, headId, locationId, lotNo,
    expiryDate ON tb_ck_detail FOR EACH ROW EXECUTE FUNCTION acc_tr_lot_detail('ck');
CREATE TRIGGER tr_ck_head_lot AFTER INSERT OR DELETE OR UPDATE OF id, ispass, accountId ON tb_ck_head
    FOR EACH ROW EXECUTE FUNCTION acc_tr_lot_head('ck');
CREATE TRIGGER tr_db_detail_insert_lot AFTER INSERT ON tb_transfer_detail REFERENCING NEW TABLE AS new_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_lot_lines('db');
CREATE TRIGGER tr_db_detail_delete_lot AFTER DELETE ON tb_transfer_detail REFERENCING OLD TABLE AS old_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_lot_lines('db');
CREATE TRIGGER tr_db_detail_update_lot AFTER UPDATE OF goodsId, qty, packQty, weight, headId, fromLocationId,
    toLocationId, lotNo, expiryDate ON tb_transfer_detail FOR EACH ROW EXECUTE FUNCTION acc_tr_lot_detail('db');
CREATE TRIGGER tr_db_head_lot AFTER INSERT OR DELETE OR UPDATE OF id, ispass, accountId ON tb_transfer_head
    FOR EACH ROW EXECUTE FUNCTION acc_tr_lot_head('db');
