-- Demonstration transfers between locations: made after the schema steps
-- that bring their tables, so the triggers keep the balance per location.

INSERT INTO tb_transfer_head (id, accountId, billNo, remark, ispass, creator, createTime, updateLastUser, updateLastTime, userId) VALUES
  (1, 2, 'db-2611-00001', '补货上架', 1, 'admin', '2026-11-21', 'admin', '2026-11-21 10:00:00', 1),
  (2, 2, 'db-2611-00002', '', 0, '张伟', '2026-11-28', '张伟', '2026-11-28 09:30:00', 2);

INSERT INTO tb_transfer_detail (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, goodsCode, goodsDetailCode, goodsName, goodsDesc, unit, packQty, weight, qty, fromLocationId, toLocationId, lotNo, remark) VALUES
  (1, 1, 1, 112, '休闲零食', 11, '6901120007700', '6901120007700', '奥利奥夹心饼干', '原味 388g', '箱', 12, 4.8, 2, 3, 2, '', ''),
  (2, 1, 2, 115, '个人护理', 21, 'SP0021', '6902110014700', '高露洁牙膏', '180g 防蛀', '支', 1, 0.2, 12, 4, 6, 'L261004', ''),
  (3, 2, 1, 114, '清洁用品', 16, 'SP0016', '6901610011200', '清风卷纸', '4层 10卷', '提', 1, 1.2, 10, 7, 6, '', '');
