#!/bin/bash
# Times `wms-admin report` and `check` on a generated shop beside hand-written
# SQLite queries giving the same rows, run alternately, three times each;
# prints the median seconds and the peak resident memory (MB) of each.
#   bench/report-figures.sh SHOP.mdb [BIN_DIR]
# Temporary files go where TMPDIR says (put it on a real disk).
set -eu
db=$1
bin=${2:-build-rel/bin}
accounts="(SELECT id FROM tb_dictionary WHERE utype = 'accountType' AND isstart = 1)"
month="createTime >= '2026-03-01' AND createTime < '2026-04-01'"
always="createTime >= '2025-01-01' AND createTime < '2027-01-01'"

lines() { # the stock-in lines of the bills chosen by $1, newest day first
    cat <<SQL
SELECT da.uname, CASE b.ispass WHEN 0 THEN '未审核' ELSE '已审核' END, b.billNo, b.ubillNo, dt.uname,
 b.supplierName, a.goodsTypeName, a.goodsCode, a.goodsName, a.goodsDesc, a.unit, a.packQty, a.weight,
 printf('%.3f', a.inPrice), a.qty, printf('%.3f', a.inPrice * a.qty), a.packQty * a.qty,
 printf('%.3f', a.packQty * a.qty / u.packQty), a.weight * a.qty, l.locationCode, a.lotNo, a.remark, b.creator,
 substr(b.createTime, 1, 10) AS day
FROM tb_rk_head b JOIN tb_rk_detail a ON a.headId = b.id LEFT JOIN tb_dictionary da ON da.id = b.accountId
 LEFT JOIN tb_dictionary dt ON dt.id = b.utypeId
 LEFT JOIN (SELECT headId, min(packQty) AS packQty FROM tb_goods_detail WHERE isDefault = 1 GROUP BY headId) u
  ON u.headId = a.goodsId
 LEFT JOIN tb_location l ON l.id = a.locationId
WHERE b.$1 AND b.accountId IN $accounts
ORDER BY day DESC, a.headId, a.rowNo, a.id;
SQL
}

heads() {
    cat <<SQL
SELECT da.uname, CASE a.ispass WHEN 0 THEN '未审核' ELSE '已审核' END AS passName, a.billNo, a.ubillNo,
 dt.uname, a.supplierName, '1单' || coalesce(s.n, 0) || '项', printf('%.2f', s.amt), a.remark, a.creator,
 substr(a.createTime, 1, 10) AS day
FROM tb_rk_head a LEFT JOIN tb_dictionary da ON da.id = a.accountId LEFT JOIN tb_dictionary dt ON dt.id = a.utypeId
 LEFT JOIN (SELECT headId, count(*) AS n, sum(qty * inPrice) AS amt FROM tb_rk_detail
  WHERE headId IN (SELECT id FROM tb_rk_head WHERE $1) GROUP BY headId) s ON s.headId = a.id
WHERE a.$1 AND a.accountId IN $accounts
ORDER BY passName, day DESC, a.id;
SQL
}

sums() {
    cat <<SQL
SELECT b.status, gt.uname, b.goodsCode, b.goodsName, b.goodsDesc, b.upqty, b.downqty, a.unit,
 printf('%.3f', s.q), printf('%.2f', s.w), printf('%.3f', s.q / a.packQty)
FROM tb_goods_detail a LEFT JOIN tb_goods_head b ON a.headId = b.id
 LEFT JOIN tb_dictionary gt ON gt.id = b.goodsTypeId
 LEFT JOIN (SELECT goodsId, sum(qty * packQty) AS q, sum(qty * weight) AS w FROM tb_rk_detail
  WHERE headId IN (SELECT id FROM tb_rk_head WHERE ispass = 1 AND accountId IN $accounts AND $1)
  GROUP BY goodsId) s ON s.goodsId = b.id
WHERE a.isDefault = 1 ORDER BY b.goodsCode DESC, b.id;
SQL
}

places() {
    cat <<SQL
SELECT b.goodsCode, b.goodsName, b.goodsDesc, a.unit, l.locationCode, l.uname, printf('%.3f', s.q / a.packQty),
 s.q, round(s.w, 4)
FROM (SELECT goodsId, locationId, sum(importQty - exportQty) AS q, sum(importWeight - exportWeight) AS w
  FROM tb_stock_location WHERE accountId IN $accounts GROUP BY goodsId, locationId
  HAVING abs(sum(importQty - exportQty)) > 0.000001) s
 JOIN tb_goods_head b ON b.id = s.goodsId LEFT JOIN tb_goods_detail a ON a.headId = b.id AND a.isDefault = 1
 LEFT JOIN tb_location l ON l.id = s.locationId
ORDER BY b.goodsCode, b.id, s.locationId;
SQL
}

check() { # both sides of both balances, in key order
    local arms="SELECT d.goodsId AS g, h.accountId AS a, coalesce(d.locationId, 0) AS p, d.qty * d.packQty AS iq,
      d.qty * d.weight AS iw, 0 AS eq, 0 AS ew FROM tb_rk_detail d JOIN tb_rk_head h ON h.id = d.headId WHERE h.ispass = 1
      UNION ALL SELECT d.goodsId, h.accountId, coalesce(d.locationId, 0), 0, 0, d.qty * d.packQty, d.qty * d.weight
      FROM tb_ck_detail d JOIN tb_ck_head h ON h.id = d.headId WHERE h.ispass = 1"
    local sums="coalesce(sum(iq), 0), coalesce(sum(iw), 0), coalesce(sum(eq), 0), coalesce(sum(ew), 0)"
    cat <<SQL
SELECT * FROM tb_stock_balance ORDER BY goodsId NULLS FIRST, accountId NULLS FIRST;
SELECT g, a, $sums FROM ($arms) GROUP BY g, a ORDER BY g NULLS FIRST, a NULLS FIRST;
SELECT * FROM tb_stock_location ORDER BY goodsId NULLS FIRST, accountId NULLS FIRST, locationId NULLS FIRST;
SELECT g, a, p, $sums FROM ($arms) GROUP BY g, a, p ORDER BY g NULLS FIRST, a NULLS FIRST, p NULLS FIRST;
SQL
}

measure() { # label, then the command; prints "seconds peakMB"
    /usr/bin/time -f "%e %M" -o /tmp/figure.$$ "$@" > /dev/null
    awk '{ printf "%s %.0f\n", $1, $2 / 1024 }' /tmp/figure.$$
}

median() { sort -n | sed -n 2p; }

run() { # name, admin arguments..., --, hand SQL
    local name=$1; shift
    local args=()
    while [ "$1" != "--" ]; do args+=("$1"); shift; done
    shift
    local sql=$1 p=() h=() pm=() hm=()
    for k in 1 2 3; do
        read -r t m < <(measure "$bin/wms-admin" --db "$db" "${args[@]}")
        p+=("$t"); pm+=("$m")
        read -r t m < <(measure sqlite3 "$db" "$sql")
        h+=("$t"); hm+=("$m")
    done
    local pt ht
    pt=$(printf '%s\n' "${p[@]}" | median); ht=$(printf '%s\n' "${h[@]}" | median)
    printf '%-28s program %7.2f s %5s MB   hand %7.2f s %5s MB   ratio %.2f\n' "$name" "$pt" \
        "$(printf '%s\n' "${pm[@]}" | sort -n | tail -1)" "$ht" "$(printf '%s\n' "${hm[@]}" | sort -n | tail -1)" \
        "$(echo "$pt / $ht" | bc -l)"
}

run "report rkDetail, a month" report rkDetail --from 2026-03-01 --to 2026-03-31 -- "$(lines "$month")"
run "report rkDetail, all dates" report rkDetail --from 2025-01-01 --to 2026-12-31 -- "$(lines "$always")"
run "report rkHead, a month" report rkHead --from 2026-03-01 --to 2026-03-31 -- "$(heads "$month")"
run "report rkSum, all dates" report rkSum --from 2025-01-01 --to 2026-12-31 -- "$(sums "$always")"
run "report locStock" report locStock -- "$(places)"
run "check" check -- "$(check)"
