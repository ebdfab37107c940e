-- The running stock balances on the server: per goods and account mark
-- (tb_stock_balance), and per goods, account mark and location
-- (tb_stock_location, see pg_location.sql), the pieces and the weight of the lines of approved
-- bills, kept by triggers on the four bill tables in the transaction of
-- every write, with the rules of the file's triggers. A head's lines are
-- applied in goods and location order, so two savers wait for each other
-- instead of locking the same rows the other way round.

-- Adds pieces and weight to the balances (negative figures take away).
CREATE OR REPLACE FUNCTION acc_balance_put(g bigint, a bigint, loc bigint, q double precision,
                                           w double precision, import boolean) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    iq double precision := CASE WHEN import THEN q ELSE 0 END;
    iw double precision := CASE WHEN import THEN w ELSE 0 END;
    eq double precision := CASE WHEN import THEN 0 ELSE q END;
    ew double precision := CASE WHEN import THEN 0 ELSE w END;
BEGIN
    INSERT INTO tb_stock_balance AS s (goodsId, accountId, importQty, importWeight, exportQty, exportWeight)
    VALUES (g, a, iq, iw, eq, ew)
    ON CONFLICT (goodsId, accountId) DO UPDATE SET importQty = s.importQty + iq, importWeight = s.importWeight + iw,
        exportQty = s.exportQty + eq, exportWeight = s.exportWeight + ew;
    PERFORM acc_location_put(g, a, loc, iq, iw, eq, ew);
END
$$;

-- The balance per location comes with its own table (pg_location.sql); until then it keeps nothing.
CREATE OR REPLACE FUNCTION acc_location_put(g bigint, a bigint, loc bigint, iq double precision,
                                            iw double precision, eq double precision, ew double precision)
RETURNS void LANGUAGE plpgsql AS $$
BEGIN
END
$$;

-- Every line of one head added (sign 1) or taken away (-1) under the head's account mark.
CREATE OR REPLACE FUNCTION acc_balance_head(import boolean, head bigint, account bigint, sign int) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    r record;
BEGIN
    IF import THEN
        FOR r IN SELECT goodsId AS g, coalesce(locationId, 0) AS loc,
                        sum(coalesce(qty, 0) * coalesce(packQty, 0)) AS q, sum(coalesce(qty, 0) * coalesce(weight, 0)) AS w
                 FROM tb_rk_detail WHERE headId = head GROUP BY 1, 2 ORDER BY 1 NULLS FIRST, 2 LOOP
            PERFORM acc_balance_put(r.g, account, r.loc, sign * r.q, sign * r.w, true);
        END LOOP;
    ELSE
        FOR r IN SELECT goodsId AS g, coalesce(locationId, 0) AS loc,
                        sum(coalesce(qty, 0) * coalesce(packQty, 0)) AS q, sum(coalesce(qty, 0) * coalesce(weight, 0)) AS w
                 FROM tb_ck_detail WHERE headId = head GROUP BY 1, 2 ORDER BY 1 NULLS FIRST, 2 LOOP
            PERFORM acc_balance_put(r.g, account, r.loc, sign * r.q, sign * r.w, false);
        END LOOP;
    END IF;
END
$$;

-- One line added (sign 1) or taken away (-1) when its head is approved, under the head's account mark.
CREATE OR REPLACE FUNCTION acc_balance_line(import boolean, line record, sign int) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    passed bigint;
    account bigint;
BEGIN
    IF import THEN
        SELECT ispass, accountId INTO passed, account FROM tb_rk_head WHERE id = line.headId;
    ELSE
        SELECT ispass, accountId INTO passed, account FROM tb_ck_head WHERE id = line.headId;
    END IF;
    IF passed = 1 THEN
        PERFORM acc_balance_put(line.goodsId, account, line.locationId,
                                sign * coalesce(line.qty, 0) * coalesce(line.packQty, 0),
                                sign * coalesce(line.qty, 0) * coalesce(line.weight, 0), import);
    END IF;
END
$$;

-- A line changed in place: taken away as it was, added as it is.
CREATE OR REPLACE FUNCTION acc_tr_balance_detail() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    import boolean := TG_ARGV[0] = 'rk';
BEGIN
    PERFORM acc_balance_line(import, OLD, -1);
    PERFORM acc_balance_line(import, NEW, 1);
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION acc_tr_balance_head() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    import boolean := TG_ARGV[0] = 'rk';
BEGIN
    IF TG_OP = 'UPDATE' AND OLD.id IS NOT DISTINCT FROM NEW.id AND OLD.ispass IS NOT DISTINCT FROM NEW.ispass
       AND OLD.accountId IS NOT DISTINCT FROM NEW.accountId THEN
        RETURN NULL;
    END IF;
    IF TG_OP IN ('UPDATE', 'DELETE') AND OLD.ispass = 1 THEN
        PERFORM acc_balance_head(import, OLD.id, OLD.accountId, -1);
    END IF;
    IF TG_OP IN ('UPDATE', 'INSERT') AND NEW.ispass = 1 THEN
        PERFORM acc_balance_head(import, NEW.id, NEW.accountId, 1);
    END IF;
    RETURN NULL;
END
$$;

-- Lines inserted or deleted by one statement, summed per goods, account mark
-- and location and applied in that order.
CREATE OR REPLACE FUNCTION acc_tr_balance_lines() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    import boolean := TG_ARGV[0] = 'rk';
    sign int := CASE WHEN TG_OP = 'DELETE' THEN -1 ELSE 1 END;
    r record;
BEGIN
    FOR r IN EXECUTE format(
        'SELECT l.goodsId AS g, h.accountId AS a, coalesce(l.locationId, 0) AS loc, '
        'sum(coalesce(l.qty, 0) * coalesce(l.packQty, 0)) AS q, sum(coalesce(l.qty, 0) * coalesce(l.weight, 0)) AS w '
        'FROM %I l JOIN %I h ON h.id = l.headId WHERE h.ispass = 1 '
        'GROUP BY 1, 2, 3 ORDER BY 1 NULLS FIRST, 2 NULLS FIRST, 3',
        CASE WHEN TG_OP = 'DELETE' THEN 'old_lines' ELSE 'new_lines' END,
        CASE WHEN import THEN 'tb_rk_head' ELSE 'tb_ck_head' END) LOOP
        PERFORM acc_balance_put(r.g, r.a, r.loc, sign * r.q, sign * r.w, import);
    END LOOP;
    RETURN NULL;
END
$$;

CREATE TRIGGER tr_rk_detail_insert AFTER INSERT ON tb_rk_detail REFERENCING NEW TABLE AS new_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_balance_lines('rk');
CREATE TRIGGER tr_rk_detail_delete AFTER DELETE ON tb_rk_detail REFERENCING OLD TABLE AS old_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_balance_lines('rk');
CREATE TRIGGER tr_ck_detail_insert AFTER INSERT ON tb_ck_detail REFERENCING NEW TABLE AS new_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_balance_lines('ck');
CREATE TRIGGER tr_ck_detail_delete AFTER DELETE ON tb_ck_detail REFERENCING OLD TABLE AS old_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_balance_lines('ck');
CREATE TRIGGER tr_rk_detail_update AFTER UPDATE OF goodsId, qty, packQty, weight, headId, locationId
    ON tb_rk_detail FOR EACH ROW EXECUTE FUNCTION acc_tr_balance_detail('rk');
CREATE TRIGGER tr_ck_detail_update AFTER UPDATE OF goodsId, qty, packQty, weight, headId, locationId
    ON tb_ck_detail FOR EACH ROW EXECUTE FUNCTION acc_tr_balance_detail('ck');
CREATE TRIGGER tr_rk_head_balance AFTER INSERT OR DELETE OR UPDATE OF id, ispass, accountId ON tb_rk_head
    FOR EACH ROW EXECUTE FUNCTION acc_tr_balance_head('rk');
CREATE TRIGGER tr_ck_head_balance AFTER INSERT OR DELETE OR UPDATE OF id, ispass, accountId ON tb_ck_head
    FOR EACH ROW EXECUTE FUNCTION acc_tr_balance_head('ck');
