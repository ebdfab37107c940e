#include "sysvar.h"

m_SysVar& SysVar() {
    static m_SysVar vars;
    return vars;
}
