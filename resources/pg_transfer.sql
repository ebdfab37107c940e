-- The transfers between locations on the server: an approved transfer line
-- takes its pieces and weight out of the balance per location at its from
-- location and puts them in at its to location (a missing location counts
-- under 0), with the rules of the file's triggers. Only tb_stock_location
-- is written: the balance per goods does not move. A head's lines are
-- applied in goods and location order, as the bills' are.

-- The query of the moves of a set of lines (a relation name: the transfer
-- lines, or a statement's transition table, which only the trigger's own
-- function sees) summed per goods, account mark and location: the account
-- mark and the lines' condition are expressions over l (line) and h (its head, if
-- still there).
CREATE OR REPLACE FUNCTION acc_transfer_moves(lines text, account text, cond text) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
SELECT format(
    'SELECT g, a, loc, sum(iq) AS iq, sum(iw) AS iw, sum(eq) AS eq, sum(ew) AS ew FROM ('
    'SELECT l.goodsId AS g, %2$s AS a, coalesce(l.fromLocationId, 0) AS loc, 0 AS iq, 0 AS iw, '
    'coalesce(l.qty, 0) * coalesce(l.packQty, 0) AS eq, coalesce(l.qty, 0) * coalesce(l.weight, 0) AS ew '
    'FROM %1$s l LEFT JOIN tb_transfer_head h ON h.id = l.headId WHERE %3$s '
    'UNION ALL SELECT l.goodsId, %2$s, coalesce(l.toLocationId, 0), '
    'coalesce(l.qty, 0) * coalesce(l.packQty, 0), coalesce(l.qty, 0) * coalesce(l.weight, 0), 0, 0 '
    'FROM %1$s l LEFT JOIN tb_transfer_head h ON h.id = l.headId WHERE %3$s) m '
    'GROUP BY 1, 2, 3 ORDER BY 1 NULLS FIRST, 2 NULLS FIRST, 3',
    lines, account, cond)
$$;

-- Every line of one head added (sign 1) or taken away (-1) under the head's account mark.
CREATE OR REPLACE FUNCTION acc_transfer_head(head bigint, account bigint, sign int) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    r record;
BEGIN
    FOR r IN EXECUTE acc_transfer_moves('tb_transfer_detail', quote_nullable(account) || '::bigint',
                                        'l.headId = ' || head) LOOP
        PERFORM acc_location_put(r.g, r.a, r.loc, sign * r.iq, sign * r.iw, sign * r.eq, sign * r.ew);
    END LOOP;
END
$$;

-- One line added (sign 1) or taken away (-1) when its head is approved.
CREATE OR REPLACE FUNCTION acc_transfer_line(line record, sign int) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    passed bigint;
    account bigint;
    q double precision := sign * coalesce(line.qty, 0) * coalesce(line.packQty, 0);
    w double precision := sign * coalesce(line.qty, 0) * coalesce(line.weight, 0);
BEGIN
    SELECT ispass, accountId INTO passed, account FROM tb_transfer_head WHERE id = line.headId;
    IF passed = 1 THEN
        IF coalesce(line.fromLocationId, 0) <= coalesce(line.toLocationId, 0) THEN
            PERFORM acc_location_put(line.goodsId, account, line.fromLocationId, 0, 0, q, w);
            PERFORM acc_location_put(line.goodsId, account, line.toLocationId, q, w, 0, 0);
        ELSE
            PERFORM acc_location_put(line.goodsId, account, line.toLocationId, q, w, 0, 0);
            PERFORM acc_location_put(line.goodsId, account, line.fromLocationId, 0, 0, q, w);
        END IF;
    END IF;
END
$$;

CREATE OR REPLACE FUNCTION acc_tr_transfer_detail() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    PERFORM acc_transfer_line(OLD, -1);
    PERFORM acc_transfer_line(NEW, 1);
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION acc_tr_transfer_lines() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    sign int := CASE WHEN TG_OP = 'DELETE' THEN -1 ELSE 1 END;
    r record;
BEGIN
    FOR r IN EXECUTE acc_transfer_moves(CASE WHEN TG_OP = 'DELETE' THEN 'old_lines' ELSE 'new_lines' END,
                                        'h.accountId', 'h.ispass = 1') LOOP
        PERFORM acc_location_put(r.g, r.a, r.loc, sign * r.iq, sign * r.iw, sign * r.eq, sign * r.ew);
    END LOOP;
    RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION acc_tr_transfer_head() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP = 'UPDATE' AND OLD.id IS NOT DISTINCT FROM NEW.id AND OLD.ispass IS NOT DISTINCT FROM NEW.ispass
       AND OLD.accountId IS NOT DISTINCT FROM NEW.accountId THEN
        RETURN NULL;
    END IF;
    IF TG_OP IN ('UPDATE', 'DELETE') AND OLD.ispass = 1 THEN
        PERFORM acc_transfer_head(OLD.id, OLD.accountId, -1);
    END IF;
    IF TG_OP IN ('UPDATE', 'INSERT') AND NEW.ispass = 1 THEN
        PERFORM acc_transfer_head(NEW.id, NEW.accountId, 1);
    END IF;
    RETURN NULL;
END
$$;

CREATE TRIGGER tr_db_detail_insert AFTER INSERT ON tb_transfer_detail REFERENCING NEW TABLE AS new_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_transfer_lines();
CREATE TRIGGER tr_db_detail_delete AFTER DELETE ON tb_transfer_detail REFERENCING OLD TABLE AS old_lines
    FOR EACH STATEMENT EXECUTE FUNCTION acc_tr_transfer_lines();
CREATE TRIGGER tr_db_detail_update AFTER UPDATE OF goodsId, qty, packQty, weight, headId, fromLocationId,
    toLocationId ON tb_transfer_detail FOR EACH ROW EXECUTE FUNCTION acc_tr_transfer_detail();
CREATE TRIGGER tr_db_head_balance AFTER INSERT OR DELETE OR UPDATE OF id, ispass, accountId ON tb_transfer_head
    FOR EACH ROW EXECUTE FUNCTION acc_tr_transfer_head();
