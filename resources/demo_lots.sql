-- Demonstration lots of milk kept by lot: made after the schema steps that
-- bring the lot columns. {d+N} stands for the date N days from today, so that
-- the near-expiry warning has something to show on any day.

UPDATE tb_goods_head SET lotTracked = 1, shelfLifeDays = 180 WHERE id = 8;
UPDATE tb_rk_detail SET lotNo = 'M2609C', productionDate = '{d-90}', expiryDate = '{d+90}' WHERE id = 47;

INSERT INTO tb_rk_head (id, accountId, billNo, ubillNo, utypeId, supplierId, supplierName, remark, ispass, creator, createTime, updateLastUser, updateLastTime, userId) VALUES
  (17, 2, 'rk-demo-00001', '', 3, 11, '大润发批发中心', '冷藏到货', 1, 'admin', '{d-20}', 'admin', '{d-20} 15:00:00', 1);

INSERT INTO tb_rk_detail (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, goodsCode, goodsDetailCode, goodsName, goodsDesc, unit, inPrice, packQty, weight, qty, locationId, lotNo, productionDate, expiryDate, remark) VALUES
  (901, 17, 1, 111, '饮料', 8, 'SP0008', '6900820005600', '蒙牛纯牛奶', '250ml 利乐包', '箱', 51.74, 24, 6.24, 1, 9, 'M2606A', '{d-170}', '{d+10}', ''),
  (902, 17, 2, 111, '饮料', 8, 'SP0008', '6900820005600', '蒙牛纯牛奶', '250ml 利乐包', '箱', 51.74, 24, 6.24, 2, 9, 'M2610B', '{d-60}', '{d+120}', ''),
  (903, 17, 3, 111, '饮料', 8, 'SP0008', '6900810005600', '蒙牛纯牛奶', '250ml 利乐包', '盒', 2.2, 1, 0.26, 6, 9, 'M2605X', '{d-183}', '{d-3}', '临期处理');
