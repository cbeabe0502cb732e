# Members the library must export, by their GCC-mangled names. On i686 the thiscall members carry
# no further decoration, so the names are the same on both Windows targets. Add a member here when
# its definition lands.
set(NEBRIN_EXPORTED_MEMBERS
  # Constructors (complete-object) and copy assignments.
  _ZN10CCommonFtnC1Ev
  _ZN10CCommonFtnaSERKS_
  _ZN10CICSManageC1Ev
  _ZN10CICSManageaSERKS_
  _ZN8CNetDiagC1Ev
  _ZN8CNetDiagaSERKS_
  _ZN14CNetInfoManageC1Ev
  _ZN14CNetInfoManageaSERKS_
  _ZN16CNetInfoRetrieveC1Ev
  _ZN16CNetInfoRetrieveaSERKS_
  _ZN15CRoamingControlaSERKS_
  _ZN12CWLanControlC1Ev
  _ZN12CWLanControlaSERKS_
  _ZN14CNebrinCoreDllC1Ev
  _ZN14CNebrinCoreDllaSERKS_
  # Record helpers.
  _ZN10CCommonFtn13InitStructureEP10EnvInfoStrP14AdapterInfoStr
  # Members that answer 1.
  _ZN10CCommonFtn17CheckAdapterExistEiiP14AdapterInfoStr
  _ZN10CCommonFtn14CheckOSVersionEv
  _ZN10CCommonFtn19CheckSingleInstanceEPw
  _ZN10CCommonFtn27MakeMappingIndexArrayForGUIEii
  _ZN10CICSManage22ICSInstallAndUninstallEiP10EnvInfoStrP14AdapterInfoStr
  _ZN14CNetInfoManage17CheckAddressValidEPw
  _ZN15CRoamingControl20InstallRoamingDriverEv
  _ZN15CRoamingControl22UninstallRoamingDriverEv
  _ZN15CRoamingControl21CheckOutRoamingStatusEv
  _ZN12CWLanControl15GetMaxRSSIValueEPw
  _ZN12CWLanControl13ChangeAPOrderEPw
  # Network state.
  _ZN16CNetInfoRetrieve10IPRetrieveEP10EnvInfoStrP14AdapterInfoStr
  _ZN16CNetInfoRetrieve18GetWLANDeviceCountEP10EnvInfoStrP14AdapterInfoStr
  _ZN16CNetInfoRetrieve21CheckInfoChangeStatusEP10EnvInfoStrP14AdapterInfoStrS1_S3_
  _ZN14CNetInfoManage17GetDHCPDNSAddressEP14AdapterInfoStrPwi
  _ZN14CNetInfoManage13GetDNSAddressEP14AdapterInfoStrPwi
)
