-- The Access functions of the program's statements, for a database on a
-- PostgreSQL server: the same results as the functions the program gives
-- SQLite. The translator calls them; where an Access operator takes any type,
-- the server picks the function by the argument's type.

CREATE EXTENSION IF NOT EXISTS citext;

-- A value as Access writes it as text: numbers with up to 15 significant
-- digits, no trailing zeros, an exponent only below 1E-11 or from 1E+15 on.
CREATE OR REPLACE FUNCTION acc_str(v text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT v';

CREATE OR REPLACE FUNCTION acc_str(v bigint) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v::text';

CREATE OR REPLACE FUNCTION acc_str(v integer) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v::text';

CREATE OR REPLACE FUNCTION acc_str(v boolean) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$SELECT CASE WHEN v THEN '1' ELSE '0' END$$;

CREATE OR REPLACE FUNCTION acc_str_double(v double precision) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    n numeric;
    sci text;
    mant text;
    ex int;
BEGIN
    IF v = 0 THEN RETURN '0'; END IF;
    IF v = 'NaN'::float8 THEN RETURN 'NaN'; END IF;
    IF v = 'Infinity'::float8 THEN RETURN 'Inf'; END IF;
    IF v = '-Infinity'::float8 THEN RETURN '-Inf'; END IF;
    -- the server turns a double into a number of 15 significant digits
    n := abs(v)::numeric;
    IF n >= 1e15 OR n < 1e-11 THEN
        sci := to_char(abs(v), '9.99999999999999EEEE');
        mant := rtrim(rtrim(split_part(trim(sci), 'e', 1), '0'), '.');
        ex := split_part(trim(sci), 'e', 2)::int;
        RETURN CASE WHEN v < 0 THEN '-' ELSE '' END || mant || 'E' || CASE WHEN ex < 0 THEN '-' ELSE '+' END
               || abs(ex)::text;
    END IF;
    RETURN CASE WHEN v < 0 THEN '-' ELSE '' END || trim_scale(n)::text;
END
$$;

-- whole numbers the quick way (the server writes them in full itself)
CREATE OR REPLACE FUNCTION acc_str(v double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN v = trunc(v) AND abs(v) < 1e15 THEN trunc(v)::bigint::text ELSE acc_str_double(v) END
$$;

CREATE OR REPLACE FUNCTION acc_str(v numeric) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
SELECT CASE WHEN v = trunc(v) AND abs(v) < 1e18 THEN trunc(v)::text ELSE acc_str(v::float8) END
$$;

-- a & b & ...: Null counts as empty text; Null only when every operand is Null.
CREATE OR REPLACE FUNCTION acc_cat(VARIADIC parts text[]) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN num_nonnulls(VARIADIC parts) = 0 THEN NULL ELSE array_to_string(parts, '') END
$$;

-- Val: blanks, tabs and line feeds are dropped, then the leading number is read.
CREATE OR REPLACE FUNCTION acc_val_parse(s text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    t text := translate(s, E' \t\n', '');
    m text[];
    v double precision := 0;
    d int;
    base int;
    c text;
BEGIN
    IF t ~ '^[0-9]{1,15}$' THEN RETURN t::float8; END IF;
    IF t ~* '^&[ho]' THEN
        base := CASE WHEN t ~* '^&h' THEN 16 ELSE 8 END;
        FOR i IN 3 .. length(t) LOOP
            c := lower(substr(t, i, 1));
            d := strpos('0123456789abcdef', c) - 1;
            EXIT WHEN d < 0 OR d >= base;
            v := v * base + d;
        END LOOP;
        RETURN v;
    END IF;
    m := regexp_match(t, '^([+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+))(?:[eEdD]([+-]?[0-9]+))?');
    IF m IS NULL THEN RETURN 0; END IF;
    IF m[2] IS NULL THEN RETURN m[1]::float8; END IF;
    RETURN (m[1] || 'e' || m[2])::float8;
EXCEPTION WHEN numeric_value_out_of_range THEN
    -- below the smallest double: 0, as the client library reads it
    IF m[2] LIKE '-%' THEN RETURN 0; END IF;
    RAISE EXCEPTION '溢出';
END
$$;

-- a plain number (digits, a point, a leading minus) the quick way
CREATE OR REPLACE FUNCTION acc_val(s text) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN translate(s, '0123456789', '') IN ('', '.', '-', '-.') AND length(s) BETWEEN 1 AND 30
             AND s NOT IN ('.', '-', '-.') AND (left(s, 1) = '-' OR strpos(s, '-') = 0)
            THEN s::float8 ELSE acc_val_parse(s) END
$$;

CREATE OR REPLACE FUNCTION acc_val(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v';

CREATE OR REPLACE FUNCTION acc_val(v bigint) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v::float8';

CREATE OR REPLACE FUNCTION acc_val(v numeric) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v::float8';

-- A count of characters from a number: whole, at least lo, never past the int range.
CREATE OR REPLACE FUNCTION acc_count(n double precision, lo int) RETURNS int
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS
'SELECT greatest(lo, least(trunc(coalesce(n, 0)), 2147483647))::int';

-- mid(s, start[, length]), counted in characters from 1.
CREATE OR REPLACE FUNCTION acc_mid(s text, st double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT substr(s, acc_count(st, 1))';

CREATE OR REPLACE FUNCTION acc_mid(s text, st double precision, n double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT substr(s, acc_count(st, 1), acc_count(n, 0))';

CREATE OR REPLACE FUNCTION acc_left(s text, n double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT left(s, acc_count(n, 0))';

CREATE OR REPLACE FUNCTION acc_right(s text, n double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT right(s, acc_count(n, 0))';

-- a ^ b: past the double range an overflow; 0 to a negative power a division
-- by zero; a negative number to a fractional power has no value.
CREATE OR REPLACE FUNCTION acc_pow(a double precision, b double precision) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
    IF a = 0 AND b < 0 THEN RAISE EXCEPTION '除数为零'; END IF;
    IF a < 0 AND b <> trunc(b) THEN RAISE EXCEPTION '无效的过程调用或参数'; END IF;
    RETURN power(a, b);
EXCEPTION WHEN numeric_value_out_of_range THEN
    IF ln(abs(a)) * b < 0 THEN RETURN 0; END IF; -- below the smallest double
    RAISE EXCEPTION '溢出';
END
$$;

-- \ and Mod round their operands to whole numbers first (half to even, as the hardware does).
CREATE OR REPLACE FUNCTION acc_whole(a double precision) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    r double precision := round(a);
BEGIN
    IF r = 'NaN'::float8 OR r < -9223372036854775808.0 OR r >= 9223372036854775808.0 THEN
        RAISE EXCEPTION '溢出';
    END IF;
    RETURN r::bigint;
END
$$;

CREATE OR REPLACE FUNCTION acc_divisor(a bigint, b bigint) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
    IF b = 0 THEN RAISE EXCEPTION '除数为零'; END IF;
    IF b = -1 AND a = -9223372036854775808 THEN RAISE EXCEPTION '溢出'; END IF;
    RETURN b;
END
$$;

CREATE OR REPLACE FUNCTION acc_idiv(a double precision, b double precision) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS
'SELECT acc_whole(a) / acc_divisor(acc_whole(a), acc_whole(b))';

CREATE OR REPLACE FUNCTION acc_mod(a double precision, b double precision) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS
'SELECT acc_whole(a) % acc_divisor(acc_whole(a), acc_whole(b))';

-- Whole numbers keep all their 64 bits.
CREATE OR REPLACE FUNCTION acc_idiv(a bigint, b bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT a / acc_divisor(a, b)';

CREATE OR REPLACE FUNCTION acc_mod(a bigint, b bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT a % acc_divisor(a, b)';

-- sum over text holding numbers sums their values, as SQLite does.
CREATE OR REPLACE FUNCTION acc_sum_text(s double precision, v text) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS 'SELECT CASE WHEN v IS NULL THEN s ELSE coalesce(s, 0) + acc_val(v) END';

CREATE OR REPLACE AGGREGATE sum(text) (SFUNC = acc_sum_text, STYPE = double precision, PARALLEL = SAFE);

-- a + b: two texts are joined, numbers added; a whole sum past 64 bits stays exact.
CREATE OR REPLACE FUNCTION acc_add(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT a || b';

CREATE OR REPLACE FUNCTION acc_add(a bigint, b bigint) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT a::numeric + b';

CREATE OR REPLACE FUNCTION acc_add(a double precision, b double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT a + b';

CREATE OR REPLACE FUNCTION acc_add(a numeric, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT a + b';

-- round(x[, n]): half away from zero on the number's decimal form.
CREATE OR REPLACE FUNCTION acc_round(x double precision, n double precision DEFAULT 0) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS
'SELECT round(x::numeric, greatest(0, least(coalesce(trunc(n), 0), 30))::int)::float8';

-- A text date or date and time (yyyy-MM-dd, optionally hh:mm[:ss] and AM/PM); Null for other text.
CREATE OR REPLACE FUNCTION acc_date_of(s text) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    m text[];
    h int;
BEGIN
    m := regexp_match(s, '^\s*([0-9]{4})[-/]([0-9]{1,2})[-/]([0-9]{1,2})'
                         '(?:[ T]([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2})(?:\.[0-9]{0,9})?)?\s*(AM|PM|am|pm|Am|aM|Pm|pM)?)?\s*$');
    IF m IS NULL THEN RETURN NULL; END IF;
    h := coalesce(m[4], '0')::int;
    IF m[7] IS NOT NULL THEN
        IF h < 1 OR h > 12 THEN RETURN NULL; END IF;
        h := h % 12 + CASE WHEN upper(m[7]) = 'PM' THEN 12 ELSE 0 END;
    END IF;
    IF h > 23 OR coalesce(m[5], '0')::int > 59 OR coalesce(m[6], '0')::int > 59 THEN RETURN NULL; END IF;
    RETURN make_timestamp(m[1]::int, m[2]::int, m[3]::int, h, coalesce(m[5], '0')::int,
                          coalesce(m[6], '0')::int);
EXCEPTION WHEN datetime_field_overflow OR invalid_datetime_format THEN
    RETURN NULL;
END
$$;

-- The value of a text that holds nothing but a number (blanks around it and thousands separators allowed).
CREATE OR REPLACE FUNCTION acc_number_of(s text) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
SELECT CASE WHEN t ~ '^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?$' THEN t::float8 END
FROM (SELECT replace(trim(s), ',', '') AS t) x
$$;

-- Whether a pattern formats numbers: a 0 or # outside quotes and escapes.
CREATE OR REPLACE FUNCTION acc_is_number_pattern(p text) RETURNS boolean
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
SELECT regexp_replace(regexp_replace(p, '"[^"]*"?', '', 'g'), '\\.', '', 'g') ~ '[0#]'
$$;

-- The patterns of the lists' figures ("#0.0##": digits, a point, zeros and
-- optional decimals) the quick way.
CREATE OR REPLACE FUNCTION acc_format_plain(v double precision, int_zeros int, min_dec int, frac int) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    r numeric := round(abs(v)::numeric, frac); -- half away from zero on the 15-digit decimal form
    t numeric := trim_scale(r);
    s text := round(t, greatest(scale(t), min_dec))::text;
    i text := split_part(s, '.', 1);
BEGIN
    IF int_zeros = 0 AND i = '0' THEN
        i := '';
    ELSIF length(i) < int_zeros THEN
        i := lpad(i, int_zeros, '0');
    END IF;
    RETURN CASE WHEN v < 0 AND r <> 0 THEN '-' ELSE '' END || i || '.' || split_part(s, '.', 2);
END
$$;

-- Format with a number pattern: 0, #, the point, thousands separators,
-- percent, literals, and sections for negative numbers and zero.
CREATE OR REPLACE FUNCTION acc_format_number(v double precision, pattern text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    sections text[] := ARRAY[]::text[];
    cur text := '';
    quoted boolean := false;
    c text;
    i int := 1;
    sec text;
    a double precision := v;
    minus boolean := false;
    kinds text[] := ARRAY[]::text[];  -- per token: 0 # . , % L
    lits text[] := ARRAY[]::text[];
    ikinds text[] := ARRAY[]::text[];
    ilits text[] := ARRAY[]::text[];
    fkinds text[] := ARRAY[]::text[];
    flits text[] := ARRAY[]::text[];
    point boolean := false;
    percent boolean := false;
    grouping boolean := false;
    before boolean;
    after boolean;
    int_zeros int := 0;
    frac_ph int := 0;
    min_dec int := 0;
    r numeric;
    ip text;
    fp text;
    non_zero boolean;
    out text := '';
    first int := 0;
    last int := 0;
    inner_lit boolean := false;
    part text;
    rest text;
    j int;
    e int;
BEGIN
    -- sections at semicolons outside quotes
    WHILE i <= length(pattern) LOOP
        c := substr(pattern, i, 1);
        IF c = '"' THEN quoted := NOT quoted; END IF;
        IF NOT quoted AND c = '\' AND i < length(pattern) THEN
            cur := cur || c || substr(pattern, i + 1, 1);
            i := i + 2;
            CONTINUE;
        END IF;
        IF NOT quoted AND c = ';' THEN
            sections := sections || cur;
            cur := '';
        ELSE
            cur := cur || c;
        END IF;
        i := i + 1;
    END LOOP;
    sections := sections || cur;
    sec := sections[1];
    IF v < 0 AND array_length(sections, 1) >= 2 AND sections[2] <> '' THEN
        sec := sections[2];
        a := -v;
    ELSIF v = 0 AND array_length(sections, 1) >= 3 AND sections[3] <> '' THEN
        sec := sections[3];
        a := 0;
    ELSIF v < 0 THEN
        minus := true;
        a := -v;
    END IF;
    -- tokens
    i := 1;
    WHILE i <= length(sec) LOOP
        c := substr(sec, i, 1);
        IF c = '\' AND i < length(sec) THEN
            kinds := kinds || 'L'::text; lits := lits || substr(sec, i + 1, 1);
            i := i + 1;
        ELSIF c = '"' THEN
            j := strpos(substr(sec, i + 1), '"');
            IF j = 0 THEN j := length(sec) - i + 1; END IF;
            kinds := kinds || 'L'::text; lits := lits || substr(sec, i + 1, j - 1);
            i := i + j;
        ELSIF c IN ('0', '#', '.', ',') THEN
            kinds := kinds || c; lits := lits || ''::text;
        ELSIF c = '%' THEN
            kinds := kinds || '%'::text; lits := lits || '%'::text;
        ELSE
            kinds := kinds || 'L'::text; lits := lits || c;
        END IF;
        i := i + 1;
    END LOOP;
    FOR k IN 1 .. coalesce(array_length(kinds, 1), 0) LOOP
        IF kinds[k] = '%' THEN percent := true; END IF;
        IF kinds[k] = '.' AND NOT point THEN
            point := true;
            CONTINUE;
        END IF;
        IF point THEN
            fkinds := fkinds || kinds[k]; flits := flits || lits[k];
        ELSE
            ikinds := ikinds || kinds[k]; ilits := ilits || lits[k];
        END IF;
    END LOOP;
    -- a comma with digit placeholders on both sides asks for thousands separators
    kinds := ARRAY[]::text[];
    lits := ARRAY[]::text[];
    FOR k IN 1 .. coalesce(array_length(ikinds, 1), 0) LOOP
        IF ikinds[k] = ',' THEN
            before := coalesce(array_position(ikinds[1:k - 1], '0'), array_position(ikinds[1:k - 1], '#')) IS NOT NULL;
            after := coalesce(array_position(ikinds[k + 1:], '0'), array_position(ikinds[k + 1:], '#')) IS NOT NULL;
            IF before AND after THEN grouping := true; END IF;
            CONTINUE;
        END IF;
        kinds := kinds || ikinds[k]; lits := lits || ilits[k];
    END LOOP;
    FOR k IN 1 .. coalesce(array_length(kinds, 1), 0) LOOP
        IF kinds[k] = '0' THEN int_zeros := int_zeros + 1; END IF;
        IF kinds[k] IN ('0', '#') THEN
            IF first = 0 THEN first := k; END IF;
            last := k;
        END IF;
    END LOOP;
    FOR k IN 1 .. coalesce(array_length(fkinds, 1), 0) LOOP
        IF fkinds[k] IN ('0', '#') THEN frac_ph := frac_ph + 1; END IF;
        IF fkinds[k] = '0' THEN min_dec := frac_ph; END IF;
    END LOOP;
    IF percent THEN a := a * 100; END IF;
    -- rounded half away from zero on the 15-digit decimal form of the number
    r := round(a::numeric, frac_ph);
    ip := trunc(r)::text;
    IF ip = '0' THEN ip := ''; END IF;
    fp := CASE WHEN frac_ph > 0 THEN rpad(split_part(r::text, '.', 2), frac_ph, '0') ELSE '' END;
    non_zero := r <> 0;
    WHILE length(fp) > min_dec AND right(fp, 1) = '0' LOOP
        fp := left(fp, -1);
    END LOOP;
    IF length(ip) < int_zeros THEN ip := lpad(ip, int_zeros, '0'); END IF;
    FOR k IN first + 1 .. last - 1 LOOP
        IF kinds[k] NOT IN ('0', '#') THEN inner_lit := true; END IF;
    END LOOP;
    IF first = 0 THEN
        out := array_to_string(lits, '') || ip;
    ELSIF grouping OR NOT inner_lit THEN
        FOR k IN 1 .. first - 1 LOOP out := out || lits[k]; END LOOP;
        IF grouping THEN
            part := '';
            FOR k IN 1 .. length(ip) LOOP
                IF k > 1 AND (length(ip) - k + 1) % 3 = 0 THEN part := part || ','; END IF;
                part := part || substr(ip, k, 1);
            END LOOP;
            out := out || part;
        ELSE
            out := out || ip;
        END IF;
        FOR k IN last + 1 .. coalesce(array_length(kinds, 1), 0) LOOP out := out || lits[k]; END LOOP;
    ELSE
        -- literals between placeholders ("000-0000"): digits fill from the right
        part := '';
        rest := ip;
        FOR k IN REVERSE array_length(kinds, 1) .. 1 LOOP
            IF kinds[k] NOT IN ('0', '#') THEN
                part := lits[k] || part;
            ELSIF k = first THEN
                part := rest || part;
                rest := '';
            ELSIF rest <> '' THEN
                part := right(rest, 1) || part;
                rest := left(rest, -1);
            END IF;
        END LOOP;
        out := out || part;
    END IF;
    IF point THEN out := out || '.'; END IF;
    e := 1;
    FOR k IN 1 .. coalesce(array_length(fkinds, 1), 0) LOOP
        IF fkinds[k] IN ('0', '#') THEN
            IF e <= length(fp) THEN out := out || substr(fp, e, 1); e := e + 1; END IF;
        ELSIF fkinds[k] <> ',' THEN
            out := out || flits[k];
        END IF;
    END LOOP;
    IF minus AND non_zero THEN out := '-' || out; END IF;
    RETURN out;
END
$$;

-- Format with a date pattern: y, m (minutes right after h), n, d, h, s, w, q, AM/PM, quotes and escapes.
CREATE OR REPLACE FUNCTION acc_format_date(t timestamp, pattern text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    low text := lower(pattern);
    twelve boolean := low LIKE '%am/pm%' OR low LIKE '%a/p%' OR low LIKE '%ampm%';
    out text := '';
    i int := 1;
    n int;
    c text;
    lc text;
    after_hour boolean := false;
    token boolean;
    pm boolean := extract(hour FROM t) >= 12;
    h int;
    j int;
    months text[] := ARRAY['January', 'February', 'March', 'April', 'May', 'June', 'July', 'August',
                           'September', 'October', 'November', 'December'];
    days text[] := ARRAY['Monday', 'Tuesday', 'Wednesday', 'Thursday', 'Friday', 'Saturday', 'Sunday'];
    left_n int;
BEGIN
    WHILE i <= length(pattern) LOOP
        c := substr(pattern, i, 1);
        lc := lower(c);
        IF c = '\' AND i < length(pattern) THEN
            out := out || substr(pattern, i + 1, 1);
            i := i + 2;
            CONTINUE;
        END IF;
        IF c = '"' THEN
            j := strpos(substr(pattern, i + 1), '"');
            IF j = 0 THEN j := length(pattern) - i + 1; END IF;
            out := out || substr(pattern, i + 1, j - 1);
            i := i + j + 1;
            CONTINUE;
        END IF;
        IF lc = 'a' THEN
            IF substr(low, i, 5) = 'am/pm' THEN
                out := out || CASE WHEN c = 'A' THEN CASE WHEN pm THEN 'PM' ELSE 'AM' END
                                   ELSE CASE WHEN pm THEN 'pm' ELSE 'am' END END;
                i := i + 5;
                CONTINUE;
            ELSIF substr(low, i, 3) = 'a/p' THEN
                out := out || CASE WHEN c = 'A' THEN CASE WHEN pm THEN 'P' ELSE 'A' END
                                   ELSE CASE WHEN pm THEN 'p' ELSE 'a' END END;
                i := i + 3;
                CONTINUE;
            ELSIF substr(low, i, 4) = 'ampm' THEN
                out := out || CASE WHEN pm THEN 'PM' ELSE 'AM' END;
                i := i + 4;
                CONTINUE;
            END IF;
        END IF;
        n := 1;
        WHILE i + n <= length(pattern) AND lower(substr(pattern, i + n, 1)) = lc LOOP
            n := n + 1;
        END LOOP;
        token := true;
        CASE lc
        WHEN 'y' THEN
            left_n := n;
            WHILE left_n > 0 LOOP
                IF left_n >= 3 THEN
                    out := out || to_char(t, 'YYYY');
                    left_n := left_n - CASE WHEN left_n >= 4 THEN 4 ELSE 3 END;
                ELSIF left_n = 2 THEN
                    out := out || to_char(t, 'YY');
                    left_n := 0;
                ELSE
                    out := out || extract(doy FROM t)::int::text;
                    left_n := 0;
                END IF;
            END LOOP;
        WHEN 'm' THEN
            IF after_hour THEN
                out := out || CASE WHEN n >= 2 THEN to_char(t, 'MI') ELSE extract(minute FROM t)::int::text END;
            ELSIF n >= 4 THEN
                out := out || months[extract(month FROM t)::int];
            ELSIF n = 3 THEN
                out := out || left(months[extract(month FROM t)::int], 3);
            ELSE
                out := out || CASE WHEN n = 2 THEN to_char(t, 'MM') ELSE extract(month FROM t)::int::text END;
            END IF;
        WHEN 'n' THEN
            out := out || CASE WHEN n >= 2 THEN to_char(t, 'MI') ELSE extract(minute FROM t)::int::text END;
        WHEN 'd' THEN
            IF n >= 5 THEN
                out := out || to_char(t, 'YYYY-MM-DD');
            ELSIF n = 4 THEN
                out := out || days[extract(isodow FROM t)::int];
            ELSIF n = 3 THEN
                out := out || left(days[extract(isodow FROM t)::int], 3);
            ELSE
                out := out || CASE WHEN n = 2 THEN to_char(t, 'DD') ELSE extract(day FROM t)::int::text END;
            END IF;
        WHEN 'h' THEN
            h := extract(hour FROM t)::int;
            IF twelve THEN h := CASE WHEN h % 12 = 0 THEN 12 ELSE h % 12 END; END IF;
            out := out || CASE WHEN n >= 2 THEN lpad(h::text, 2, '0') ELSE h::text END;
        WHEN 's' THEN
            out := out || CASE WHEN n >= 2 THEN to_char(t, 'SS') ELSE floor(extract(second FROM t))::int::text END;
        WHEN 'w' THEN
            out := out || CASE WHEN n >= 2 THEN extract(week FROM t)::int::text
                               ELSE (extract(isodow FROM t)::int % 7 + 1)::text END;
        WHEN 'q' THEN
            out := out || extract(quarter FROM t)::int::text;
        ELSE
            token := false;
            out := out || substr(pattern, i, n);
        END CASE;
        IF token THEN after_hour := lc = 'h'; END IF;
        i := i + n;
    END LOOP;
    RETURN out;
END
$$;

-- The named formats as Chinese (PRC) regional settings give them; Null when
-- the pattern is no name. n and d: the value as a number and as a date.
CREATE OR REPLACE FUNCTION acc_format_named(n double precision, d timestamp, raw text, pattern text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    name text := lower(trim(pattern));
    body text;
BEGIN
    IF name !~ '^[a-z /]+$' THEN RETURN NULL; END IF;
    IF name IN ('general number', 'currency', 'fixed', 'standard', 'percent', 'scientific', 'yes/no',
                'true/false', 'on/off') THEN
        IF n IS NULL THEN RETURN raw; END IF;
        CASE name
        WHEN 'general number' THEN RETURN acc_str(n);
        WHEN 'currency' THEN
            body := acc_format_number(abs(n), '#,##0.00');
            RETURN CASE WHEN n < 0 AND body <> '0.00' THEN '¥-' ELSE '¥' END || body;
        WHEN 'fixed' THEN RETURN acc_format_number(n, '0.00');
        WHEN 'standard' THEN RETURN acc_format_number(n, '#,##0.00');
        WHEN 'percent' THEN RETURN acc_format_number(n, '0.00%');
        WHEN 'scientific' THEN RETURN upper(trim(to_char(n, '9.99EEEE')));
        WHEN 'yes/no' THEN RETURN CASE WHEN n <> 0 THEN 'Yes' ELSE 'No' END;
        WHEN 'true/false' THEN RETURN CASE WHEN n <> 0 THEN 'True' ELSE 'False' END;
        ELSE RETURN CASE WHEN n <> 0 THEN 'On' ELSE 'Off' END;
        END CASE;
    END IF;
    IF name NOT IN ('general date', 'long date', 'medium date', 'short date', 'long time', 'medium time',
                    'short time') THEN
        RETURN NULL;
    END IF;
    IF d IS NULL THEN RETURN raw; END IF;
    CASE name
    WHEN 'general date' THEN
        -- the date alone at midnight, the time alone on day zero
        IF d::date = date '1899-12-30' AND d::time <> time '00:00' THEN RETURN acc_format_date(d, 'h:nn:ss'); END IF;
        RETURN acc_format_date(d, CASE WHEN d::time = time '00:00' THEN 'yyyy/m/d' ELSE 'yyyy/m/d h:nn:ss' END);
    WHEN 'long date' THEN RETURN acc_format_date(d, 'yyyy年m月d日');
    WHEN 'medium date' THEN RETURN acc_format_date(d, 'yy-mm-dd');
    WHEN 'short date' THEN RETURN acc_format_date(d, 'yyyy/m/d');
    WHEN 'long time' THEN RETURN acc_format_date(d, 'h:nn:ss');
    WHEN 'medium time' THEN RETURN acc_format_date(d, 'hh:nn AM/PM');
    ELSE RETURN acc_format_date(d, 'hh:nn');
    END CASE;
END
$$;

CREATE OR REPLACE FUNCTION acc_serial_date(v double precision) RETURNS timestamp
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS
$$SELECT CASE WHEN abs(v) < 2958466 THEN timestamp '1899-12-30' + make_interval(secs => round(v * 86400)) END$$;

CREATE OR REPLACE FUNCTION acc_date_serial(d timestamp) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS
$$SELECT extract(epoch FROM d - timestamp '1899-12-30')::float8 / 86400.0$$;

CREATE OR REPLACE FUNCTION acc_format_double(v double precision, pattern text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    named text;
BEGIN
    IF v IS NULL THEN RETURN ''; END IF;
    IF trim(pattern) ~* '^[a-z /]+$' THEN
        named := acc_format_named(v, acc_serial_date(v), acc_str(v), pattern);
        IF named IS NOT NULL THEN RETURN named; END IF;
    END IF;
    IF coalesce(pattern, '') = '' THEN RETURN acc_str(v); END IF;
    IF acc_is_number_pattern(pattern) THEN RETURN acc_format_number(v, pattern); END IF;
    RETURN acc_format_date(acc_serial_date(v), pattern);
END
$$;

CREATE OR REPLACE FUNCTION acc_format_text(v text, pattern text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    d timestamp;
    n double precision;
    named text;
BEGIN
    IF v IS NULL THEN RETURN ''; END IF;
    -- the stored form of a date in the pattern of every list: its first ten characters
    IF lower(pattern) = 'yyyy-mm-dd' AND v ~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9]{2}:[0-9]{2}(:[0-9]{2})?)?$'
       AND substr(v, 6, 2) BETWEEN '01' AND '12' AND substr(v, 9, 2) BETWEEN '01' AND '31'
       AND (length(v) = 10 OR acc_date_of(v) IS NOT NULL) AND acc_date_of(left(v, 10)) IS NOT NULL THEN
        RETURN left(v, 10);
    END IF;
    n := acc_number_of(v);
    d := acc_date_of(v);
    IF trim(pattern) ~* '^[a-z /]+$' THEN
        named := acc_format_named(coalesce(n, acc_date_serial(d)), d, v, pattern);
        IF named IS NOT NULL THEN RETURN named; END IF;
    END IF;
    IF coalesce(pattern, '') = '' THEN RETURN v; END IF;
    IF acc_is_number_pattern(pattern) THEN
        IF n IS NOT NULL THEN RETURN acc_format_number(n, pattern); END IF;
        IF d IS NOT NULL THEN RETURN acc_format_number(acc_date_serial(d), pattern); END IF;
        RETURN v;
    END IF;
    IF d IS NOT NULL THEN RETURN acc_format_date(d, pattern); END IF;
    RETURN v;
END
$$;

-- A row inserted without its integer key gets the next one, as SQLite gives it.
CREATE OR REPLACE FUNCTION acc_tr_next_id() RETURNS trigger
LANGUAGE plpgsql AS $$
DECLARE
    next bigint;
BEGIN
    IF to_jsonb(NEW) -> TG_ARGV[0] = 'null'::jsonb THEN
        EXECUTE format('SELECT coalesce(max(%I), 0) + 1 FROM %I', TG_ARGV[0], TG_TABLE_NAME) INTO next;
        NEW := jsonb_populate_record(NEW, jsonb_build_object(TG_ARGV[0], next));
    END IF;
    RETURN NEW;
END
$$;

-- A date in the stored form, in the pattern of every list, the quick way: its first ten characters.
CREATE OR REPLACE FUNCTION acc_format(v text, pattern text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN v IS NULL THEN ''
            WHEN lower(pattern) = 'yyyy-mm-dd'
                 AND v ~ '^[0-9]{4}-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])( ([01][0-9]|2[0-3]):[0-5][0-9](:[0-5][0-9])?)?$'
                 THEN left(v, 10)
            ELSE acc_format_text(v, pattern) END
$$;

-- Format(value, pattern); Null gives the empty text.
CREATE OR REPLACE FUNCTION acc_format(v double precision, pattern text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
SELECT CASE WHEN v IS NULL THEN ''
            WHEN pattern ~ '^#*0*\.0*#*$' THEN
                acc_format_plain(v, length(split_part(pattern, '.', 1)) - length(replace(split_part(pattern, '.', 1), '0', '')),
                                 length(split_part(pattern, '.', 2)) - length(replace(split_part(pattern, '.', 2), '0', '')),
                                 length(split_part(pattern, '.', 2)))
            ELSE acc_format_double(v, pattern) END
$$;

-- The key a value sorts by: text without case compares lowered, byte by
-- byte, as SQLite's NOCASE sorts it (whatever the server's locale); other
-- text byte by byte; numbers as they are.
CREATE OR REPLACE FUNCTION acc_key(v citext) RETURNS bytea
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$SELECT convert_to(lower(v::text), 'UTF8')$$;

CREATE OR REPLACE FUNCTION acc_key(v text) RETURNS bytea
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$SELECT convert_to(v, 'UTF8')$$;

CREATE OR REPLACE FUNCTION acc_key(v bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v';

CREATE OR REPLACE FUNCTION acc_key(v double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v';

CREATE OR REPLACE FUNCTION acc_key(v numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v';

CREATE OR REPLACE FUNCTION acc_key(v boolean) RETURNS boolean
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS 'SELECT v';
