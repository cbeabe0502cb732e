// Constructors and copy assignments of the exported classes. The classes hold no data, except
// CWLanControl's flag, which its constructor leaves as it finds it and its assignment copies.
#include "NebrinCoreDll.h"

CCommonFtn::CCommonFtn() {}
CCommonFtn& CCommonFtn::operator=(const CCommonFtn&) { return *this; }

CICSManage::CICSManage() {}
CICSManage& CICSManage::operator=(const CICSManage&) { return *this; }

CNetDiag::CNetDiag() {}
CNetDiag& CNetDiag::operator=(const CNetDiag&) { return *this; }

CNetInfoManage::CNetInfoManage() {}
CNetInfoManage& CNetInfoManage::operator=(const CNetInfoManage&) { return *this; }

CNetInfoRetrieve::CNetInfoRetrieve() {}
CNetInfoRetrieve& CNetInfoRetrieve::operator=(const CNetInfoRetrieve&) { return *this; }

CRoamingControl& CRoamingControl::operator=(const CRoamingControl&) { return *this; }

// NOLINTNEXTLINE(cppcoreguidelines-pro-type-member-init): the flag is deliberately left unset.
CWLanControl::CWLanControl() {}
CWLanControl& CWLanControl::operator=(const CWLanControl& other) {
  bWZCStopped = other.bWZCStopped;
  return *this;
}

CNebrinCoreDll::CNebrinCoreDll() {}
CNebrinCoreDll& CNebrinCoreDll::operator=(const CNebrinCoreDll&) { return *this; }
