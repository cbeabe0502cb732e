// Members a host may call that answer 1 and do nothing else, whatever they are given.
#include "NebrinCoreDll.h"

int CCommonFtn::CheckAdapterExist(int, int, AdapterInfoStr*) { return 1; }
int CCommonFtn::CheckOSVersion() { return 1; }
int CCommonFtn::CheckSingleInstance(NebrinChar*) { return 1; }
int CCommonFtn::MakeMappingIndexArrayForGUI(int, int) { return 1; }
int CICSManage::ICSInstallAndUninstall(int, EnvInfoStr*, AdapterInfoStr*) { return 1; }
int CNetInfoManage::CheckAddressValid(NebrinChar*) { return 1; }
int CRoamingControl::InstallRoamingDriver() { return 1; }
int CRoamingControl::UninstallRoamingDriver() { return 1; }
int CRoamingControl::CheckOutRoamingStatus() { return 1; }
int CWLanControl::GetMaxRSSIValue(NebrinChar*) { return 1; }
int CWLanControl::ChangeAPOrder(NebrinChar*) { return 1; }
