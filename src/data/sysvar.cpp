#include "sysvar.h"

m_SysVar& SysVar() {
    static m_SysVar vars;
    return vars;
}

bool HasFunction(const QString& code) {
    return ("," + SysVar().Sys_funJoinCode).contains("," + code + ",");
}
