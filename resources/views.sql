-- Views every read of the program goes through, written in the Access dialect
-- and translated when the database is created.

CREATE VIEW v_user AS
select a.id, a.[user] as [user], a.pw, a.usex, a.isStart, a.dictionaryId, d.uname as department
from tb_user a left join tb_dictionary d on a.dictionaryId = d.id;

CREATE VIEW v_dictionary AS
select a.id, a.utype, a.uname, a.parentId, p.uname as parentName, a.orderBy, a.remark,
  a.isSystemSet, a.isstart, iif(a.isstart = 1, '启用', '禁用') as startName,
  (select count(*) from tb_dictionary c where c.parentId = a.id) as iCount
from tb_dictionary a left join tb_dictionary p on a.parentId = p.id;

CREATE VIEW v_goods_head AS
select a.id, a.goodsTypeId, d.uname as goodsTypeName, a.goodsCode, a.goodsName, a.goodsDesc,
  a.pinyin, a.upqty, a.downqty, a.status, a.imageUrl, a.creator, a.createTime, a.updateLastUser, a.updateLastTime
from tb_goods_head a left join tb_dictionary d on a.goodsTypeId = d.id;

CREATE VIEW v_goods_detail AS
select a.id, a.headId, a.rowNo, b.goodsTypeId, d.uname as goodsTypeName, b.goodsCode, b.goodsName,
  b.goodsDesc, b.pinyin, b.status, b.upqty, b.downqty, a.isDefault, a.goodsDetailCode, a.unit, a.packQty,
  a.weight, a.inPrice, a.salePrice
from (tb_goods_detail a left join tb_goods_head b on a.headId = b.id)
  left join tb_dictionary d on b.goodsTypeId = d.id;

CREATE VIEW v_goods_detail_input AS
select a.id, a.headId, a.rowNo, b.goodsTypeId, d.uname as goodsTypeName, b.goodsCode, b.goodsName,
  b.goodsDesc, b.pinyin, b.status, b.upqty, b.downqty, a.isDefault, a.goodsDetailCode, a.unit, a.packQty,
  a.weight, a.inPrice, a.salePrice,
  b.goodsCode as inputGoodsCode, '货品编码' as utype
from (tb_goods_detail a left join tb_goods_head b on a.headId = b.id)
  left join tb_dictionary d on b.goodsTypeId = d.id
where a.isDefault = 1
union all
select a.id, a.headId, a.rowNo, b.goodsTypeId, d.uname as goodsTypeName, b.goodsCode, b.goodsName,
  b.goodsDesc, b.pinyin, b.status, b.upqty, b.downqty, a.isDefault, a.goodsDetailCode, a.unit, a.packQty,
  a.weight, a.inPrice, a.salePrice,
  a.goodsDetailCode as inputGoodsCode, '条码' as utype
from (tb_goods_detail a left join tb_goods_head b on a.headId = b.id)
  left join tb_dictionary d on b.goodsTypeId = d.id
where iif(a.goodsDetailCode is null, '', a.goodsDetailCode) <> '';

CREATE VIEW v_sys_goodsCode AS
select 1 as id;

CREATE VIEW v_location AS
select a.id, a.locationCode, a.uname, a.capacity, a.parentId, p.locationCode as parentlocationCode,
  p.uname as parentName, a.orderby, a.isLock, iif(a.isLock = 1, '锁定', '未锁定') as lockName,
  a.isVirtual, iif(a.isVirtual = 1, '虚拟库位', '实体库位') as VirtualName,
  a.state, iif(a.state = 1, '启用', '禁用') as stateName, a.remark,
  (select count(*) from tb_location c where c.parentId = a.id) as iCount
from tb_location a left join tb_location p on a.parentId = p.id;

CREATE VIEW v_customer AS
select a.id, a.utype,
  iif(a.utype = 0, '供应商', iif(a.utype = 1, '客户', iif(a.utype = 2, '两者都是', ''))) as utypeName,
  a.customType, d.uname as customTypeName, a.customerCode, a.uname, a.pinyin, a.contact, a.companyName,
  a.taxNumber, a.bankName, a.bankAccount, a.address, a.tel, a.email, a.fax, a.status,
  iif(a.status = 1, '启用', '禁用') as statusName, a.imageUrl, a.creator, a.createTime,
  a.updateLastUser, a.updateLastTime, a.userId
from tb_customer a left join tb_dictionary d on a.customType = d.id;

CREATE VIEW v_rk_head AS
select a.id, a.accountId, (select uname from tb_dictionary where id = a.accountId) as accountName,
  a.billNo, a.ubillNo, a.utypeId, (select uname from tb_dictionary where id = a.utypeId) as utype,
  a.supplierId, a.ispass, iif(a.ispass = 0, '未审核', '已审核') as passName, a.supplierName, a.remark,
  a.creator, a.createTime, a.updateLastUser, a.updateLastTime, a.userId,
  (select '1单' & count(*) & '项' from tb_rk_detail where headId = a.id) as totalItemRow,
  (select count(*) from tb_rk_detail where headId = a.id) as rowsCount,
  (select sum(qty) from tb_rk_detail where headId = a.id) as totalQty,
  format((select sum(qty * inPrice) from tb_rk_detail where headId = a.id), '#0.0#') as totalAmount
from tb_rk_head a;

CREATE VIEW v_rk_detail AS
select a.id, a.headId, b.accountId, (select uname from tb_dictionary where id = b.accountId) as accountName,
  b.ispass, iif(b.ispass = 0, '未审核', '已审核') as passName, b.billNo, b.ubillNo, b.utypeId,
  (select uname from tb_dictionary where id = b.utypeId) as utype, b.supplierId, b.supplierName, b.userId,
  a.rowNo, a.goodsTypeId, a.goodsTypeName, a.goodsId, a.goodsCode, a.goodsDetailCode, a.goodsName, a.goodsDesc,
  a.unit, a.inPrice, a.packQty, a.weight, a.qty, a.packQty * a.qty as totalQty,
  format(a.packQty * a.qty / (select packQty from tb_goods_detail where isDefault = 1 and headId = a.goodsId),
         '#0.0##') as totalDefaultQty,
  a.weight * a.qty as totalWeight, a.inPrice * a.qty as totalAmount, a.locationId,
  (select locationCode from tb_location where id = a.locationId) as locationCode, a.lotNo, a.remark
from tb_rk_detail a left join tb_rk_head b on a.headId = b.id;

CREATE VIEW v_ck_head AS
select a.id, a.accountId, (select uname from tb_dictionary where id = a.accountId) as accountName,
  a.billNo, a.ubillNo, a.utypeId, (select uname from tb_dictionary where id = a.utypeId) as utype,
  a.customerId, a.ispass, iif(a.ispass = 0, '未审核', '已审核') as passName, a.customerName, a.remark,
  a.creator, a.createTime, a.updateLastUser, a.updateLastTime, a.userId,
  (select '1单' & count(*) & '项' from tb_ck_detail where headId = a.id) as totalItemRow,
  (select count(*) from tb_ck_detail where headId = a.id) as rowsCount,
  (select sum(qty) from tb_ck_detail where headId = a.id) as totalQty,
  format((select sum(qty * salePrice) from tb_ck_detail where headId = a.id), '#0.0#') as totalAmount
from tb_ck_head a;

CREATE VIEW v_ck_detail AS
select a.id, a.headId, b.accountId, (select uname from tb_dictionary where id = b.accountId) as accountName,
  b.ispass, iif(b.ispass = 0, '未审核', '已审核') as passName, b.billNo, b.ubillNo, b.utypeId,
  (select uname from tb_dictionary where id = b.utypeId) as utype, b.customerId, b.customerName, b.userId,
  a.rowNo, a.goodsTypeId, a.goodsTypeName, a.goodsId, a.goodsCode, a.goodsDetailCode, a.goodsName, a.goodsDesc,
  a.unit, a.inPrice, a.salePrice, a.packQty, a.weight, a.qty, a.packQty * a.qty as totalQty,
  format(a.packQty * a.qty / (select packQty from tb_goods_detail where isDefault = 1 and headId = a.goodsId),
         '#0.0##') as totalDefaultQty,
  a.weight * a.qty as totalWeight, a.salePrice * a.qty as totalAmount, a.locationId,
  (select locationCode from tb_location where id = a.locationId) as locationCode, a.lotNo, a.remark
from tb_ck_detail a left join tb_ck_head b on a.headId = b.id;
