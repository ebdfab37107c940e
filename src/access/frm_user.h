#pragma once
// The users window (用户信息): the users in one of four views, the fields of
// the chosen one, and adding, saving and deleting users.

#include <QWidget>

class ListView;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;

class frm_user : public QWidget {
    Q_OBJECT
public:
    explicit frm_user(QWidget* parent = nullptr);

    QLineEdit* txt_id;
    QLineEdit* txt_Name;
    QComboBox* cobo_sex;
    QComboBox* cobo_usergrp;
    QCheckBox* chk_start;
    ListView* listview_user;
    QMenu* view_menu;

public slots:
    void add_user();
    void save_user();
    void delete_user();
    void LoadUsers();
    void ShowUser(int id);
    void select_view(const QString& view);
};
