-- Tables of the warehouse database. Text compares without regard to case.
-- Keys are assigned by the program (largest id plus 1).

CREATE TABLE tb_user (
    id INTEGER PRIMARY KEY,
    [user] TEXT COLLATE NOCASE,
    pw TEXT COLLATE NOCASE,
    usex TEXT COLLATE NOCASE,
    isStart INTEGER,
    dictionaryId INTEGER
);
CREATE UNIQUE INDEX ux_user_name ON tb_user([user]);
CREATE INDEX ix_user_dictionary ON tb_user(dictionaryId);

CREATE TABLE tb_user_group_fun (funCode TEXT COLLATE NOCASE, departmentId INTEGER);
CREATE INDEX ix_user_group_fun_department ON tb_user_group_fun(departmentId);
CREATE TABLE tb_account_fun (accountId INTEGER, departmentId INTEGER);
CREATE INDEX ix_account_fun_department ON tb_account_fun(departmentId);
CREATE TABLE tb_location_fun (locationId INTEGER, departmentId INTEGER);
CREATE INDEX ix_location_fun_department ON tb_location_fun(departmentId);

CREATE TABLE tb_setting (
    id INTEGER PRIMARY KEY,
    setKey TEXT COLLATE NOCASE,
    setValue TEXT COLLATE NOCASE
);
CREATE UNIQUE INDEX ux_setting_key ON tb_setting(setKey);

CREATE TABLE tb_sys_fun (
    id INTEGER PRIMARY KEY,
    funCode TEXT COLLATE NOCASE,
    displaytext TEXT COLLATE NOCASE,
    parentid INTEGER,
    type INTEGER,
    orderby INTEGER
);
CREATE INDEX ix_sys_fun_parent ON tb_sys_fun(parentid);

CREATE TABLE tb_dictionary (
    id INTEGER PRIMARY KEY,
    utype TEXT COLLATE NOCASE,
    uname TEXT COLLATE NOCASE,
    parentId INTEGER,
    orderBy INTEGER,
    remark TEXT COLLATE NOCASE,
    isstart INTEGER,
    isSystemSet INTEGER
);
CREATE INDEX ix_dictionary_type ON tb_dictionary(utype, parentId);
CREATE INDEX ix_dictionary_parent ON tb_dictionary(parentId);

CREATE TABLE tb_goods_head (
    id INTEGER PRIMARY KEY,
    goodsTypeId INTEGER,
    goodsCode TEXT COLLATE NOCASE,
    goodsName TEXT COLLATE NOCASE,
    goodsDesc TEXT COLLATE NOCASE,
    pinyin TEXT COLLATE NOCASE,
    upqty REAL,
    downqty REAL,
    status TEXT COLLATE NOCASE,
    imageUrl TEXT COLLATE NOCASE,
    creator TEXT COLLATE NOCASE,
    createTime TEXT COLLATE NOCASE,
    updateLastUser TEXT COLLATE NOCASE,
    updateLastTime TEXT COLLATE NOCASE
);
CREATE INDEX ix_goods_head_type ON tb_goods_head(goodsTypeId);
CREATE INDEX ix_goods_head_code ON tb_goods_head(goodsCode);

CREATE TABLE tb_goods_detail (
    id INTEGER PRIMARY KEY,
    headId INTEGER,
    isDefault INTEGER,
    rowNo INTEGER,
    goodsDetailCode TEXT COLLATE NOCASE,
    unit TEXT COLLATE NOCASE,
    packQty REAL,
    weight REAL,
    inPrice REAL,
    salePrice REAL
);
CREATE INDEX ix_goods_detail_head ON tb_goods_detail(headId, isDefault);
CREATE INDEX ix_goods_detail_code ON tb_goods_detail(goodsDetailCode);

CREATE TABLE tb_location (
    id INTEGER PRIMARY KEY,
    locationCode TEXT COLLATE NOCASE,
    uname TEXT COLLATE NOCASE,
    capacity REAL,
    parentId INTEGER,
    orderby INTEGER,
    isLock INTEGER,
    isVirtual INTEGER,
    state INTEGER,
    remark TEXT COLLATE NOCASE
);
CREATE INDEX ix_location_parent ON tb_location(parentId);
CREATE INDEX ix_location_code ON tb_location(locationCode);

CREATE TABLE tb_customer (
    id INTEGER PRIMARY KEY,
    utype INTEGER,
    customType INTEGER,
    customerCode TEXT COLLATE NOCASE,
    uname TEXT COLLATE NOCASE,
    pinyin TEXT COLLATE NOCASE,
    contact TEXT COLLATE NOCASE,
    companyName TEXT COLLATE NOCASE,
    taxNumber TEXT COLLATE NOCASE,
    bankName TEXT COLLATE NOCASE,
    bankAccount TEXT COLLATE NOCASE,
    address TEXT COLLATE NOCASE,
    tel TEXT COLLATE NOCASE,
    email TEXT COLLATE NOCASE,
    fax TEXT COLLATE NOCASE,
    status INTEGER,
    imageUrl TEXT COLLATE NOCASE,
    creator TEXT COLLATE NOCASE,
    createTime TEXT COLLATE NOCASE,
    updateLastUser TEXT COLLATE NOCASE,
    updateLastTime TEXT COLLATE NOCASE,
    userId INTEGER
);
CREATE UNIQUE INDEX ux_customer_code ON tb_customer(customerCode);
CREATE INDEX ix_customer_type ON tb_customer(utype);
CREATE INDEX ix_customer_custom_type ON tb_customer(customType);
CREATE INDEX ix_customer_user ON tb_customer(userId);

CREATE TABLE tb_rk_head (
    id INTEGER PRIMARY KEY,
    accountId INTEGER,
    billNo TEXT COLLATE NOCASE,
    ubillNo TEXT COLLATE NOCASE,
    utypeId INTEGER,
    supplierId INTEGER,
    supplierName TEXT COLLATE NOCASE,
    remark TEXT COLLATE NOCASE,
    ispass INTEGER,
    creator TEXT COLLATE NOCASE,
    createTime TEXT COLLATE NOCASE,
    updateLastUser TEXT COLLATE NOCASE,
    updateLastTime TEXT COLLATE NOCASE,
    userId INTEGER
);
CREATE UNIQUE INDEX ux_rk_head_bill_no ON tb_rk_head(billNo);
CREATE INDEX ix_rk_head_supplier ON tb_rk_head(supplierId);
CREATE INDEX ix_rk_head_account ON tb_rk_head(accountId);
CREATE INDEX ix_rk_head_type ON tb_rk_head(utypeId);
CREATE INDEX ix_rk_head_user ON tb_rk_head(userId);

CREATE TABLE tb_rk_detail (
    id INTEGER PRIMARY KEY,
    headId INTEGER,
    rowNo INTEGER,
    goodsTypeId INTEGER,
    goodsTypeName TEXT COLLATE NOCASE,
    goodsId INTEGER,
    goodsCode TEXT COLLATE NOCASE,
    goodsDetailCode TEXT COLLATE NOCASE,
    goodsName TEXT COLLATE NOCASE,
    goodsDesc TEXT COLLATE NOCASE,
    unit TEXT COLLATE NOCASE,
    inPrice REAL,
    packQty REAL,
    weight REAL,
    qty REAL,
    locationId INTEGER,
    lotNo TEXT COLLATE NOCASE,
    remark TEXT COLLATE NOCASE
);
CREATE INDEX ix_rk_detail_head ON tb_rk_detail(headId);
CREATE INDEX ix_rk_detail_goods ON tb_rk_detail(goodsId);
CREATE INDEX ix_rk_detail_location ON tb_rk_detail(locationId);

CREATE TABLE tb_ck_head (
    id INTEGER PRIMARY KEY,
    accountId INTEGER,
    billNo TEXT COLLATE NOCASE,
    ubillNo TEXT COLLATE NOCASE,
    utypeId INTEGER,
    customerId INTEGER,
    customerName TEXT COLLATE NOCASE,
    remark TEXT COLLATE NOCASE,
    ispass INTEGER,
    creator TEXT COLLATE NOCASE,
    createTime TEXT COLLATE NOCASE,
    updateLastUser TEXT COLLATE NOCASE,
    updateLastTime TEXT COLLATE NOCASE,
    userId INTEGER
);
CREATE UNIQUE INDEX ux_ck_head_bill_no ON tb_ck_head(billNo);
CREATE INDEX ix_ck_head_customer ON tb_ck_head(customerId);
CREATE INDEX ix_ck_head_account ON tb_ck_head(accountId);
CREATE INDEX ix_ck_head_type ON tb_ck_head(utypeId);
CREATE INDEX ix_ck_head_user ON tb_ck_head(userId);

CREATE TABLE tb_ck_detail (
    id INTEGER PRIMARY KEY,
    headId INTEGER,
    rowNo INTEGER,
    goodsTypeId INTEGER,
    goodsTypeName TEXT COLLATE NOCASE,
    goodsId INTEGER,
    goodsCode TEXT COLLATE NOCASE,
    goodsDetailCode TEXT COLLATE NOCASE,
    goodsName TEXT COLLATE NOCASE,
    goodsDesc TEXT COLLATE NOCASE,
    unit TEXT COLLATE NOCASE,
    inPrice REAL,
    salePrice REAL,
    packQty REAL,
    weight REAL,
    qty REAL,
    locationId INTEGER,
    lotNo TEXT COLLATE NOCASE,
    remark TEXT COLLATE NOCASE
);
CREATE INDEX ix_ck_detail_head ON tb_ck_detail(headId);
CREATE INDEX ix_ck_detail_goods ON tb_ck_detail(goodsId);
CREATE INDEX ix_ck_detail_location ON tb_ck_detail(locationId);

CREATE TABLE tb_events (
    id INTEGER PRIMARY KEY,
    eventContent TEXT COLLATE NOCASE,
    createTime TEXT COLLATE NOCASE,
    createUserId INTEGER,
    flgType TEXT COLLATE NOCASE,
    isStart INTEGER
);
CREATE INDEX ix_events_user ON tb_events(createUserId);
CREATE INDEX ix_events_time ON tb_events(createTime);
