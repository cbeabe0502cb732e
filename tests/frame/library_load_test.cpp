// The shared library as a host sees it: it loads and unloads repeatedly, and exports the members
// that are built.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Members built so far, by their exported (mangled) names.
const std::vector<std::string> kBuiltMembers = {
    "_ZN10CCommonFtn13InitStructureEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN10CCommonFtn17CheckAdapterExistEiiP14AdapterInfoStr",
    "_ZN10CCommonFtn14CheckOSVersionEv",
    "_ZN10CCommonFtn19CheckSingleInstanceEPDs",
    "_ZN10CCommonFtn27MakeMappingIndexArrayForGUIEii",
    "_ZN10CICSManage22ICSInstallAndUninstallEiP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage17CheckAddressValidEPDs",
    "_ZN15CRoamingControl20InstallRoamingDriverEv",
    "_ZN15CRoamingControl22UninstallRoamingDriverEv",
    "_ZN15CRoamingControl21CheckOutRoamingStatusEv",
    "_ZN12CWLanControl15GetMaxRSSIValueEPDs",
    "_ZN12CWLanControl13ChangeAPOrderEPDs",
    "_ZN16CNetInfoRetrieve10IPRetrieveEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN16CNetInfoRetrieve18GetWLANDeviceCountEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN16CNetInfoRetrieve21CheckInfoChangeStatusEP10EnvInfoStrP14AdapterInfoStrS1_S3_",
    "_ZN14CNetInfoManage17GetDHCPDNSAddressEP14AdapterInfoStrPDsi",
    "_ZN14CNetInfoManage13GetDNSAddressEP14AdapterInfoStrPDsi",
    "_ZN14CNetInfoManage15CountProfileKeyEv",
    "_ZN14CNetInfoManage15DeleteNebrinKeyEv",
    "_ZN14CNetInfoManage15SetProfileCountEv",
    "_ZN14CNetInfoManage16DeleteAllProfileEv",
    "_ZN14CNetInfoManage16SetLastProfileNoEi",
    "_ZN14CNetInfoManage17MakeHKLMNebrinKeyEP10EnvInfoStr",
    "_ZN14CNetInfoManage17SaveNameOrPrinterEP10EnvInfoStr",
    "_ZN14CNetInfoManage19DeleteHKLMNebrinKeyEv",
    "_ZN14CNetInfoManage19DeleteSelectProfileEi",
    "_ZN14CNetInfoManage23SaveValueForEachAdapterEP14AdapterInfoStrii",
    "_ZN14CNetInfoManage23SaveValueForEachProfileEP10EnvInfoStri",
    "_ZN14CNetInfoManage25SaveProfileInfoToRegistryEP10EnvInfoStrP14AdapterInfoStri",
    "_ZN14CNetInfoManage26DeleteSelectProfileAdapterEi",
    "_ZN14CNetInfoManage9GetDHCPIPEiiP14AdapterInfoStr",
    "_ZN16CNetInfoRetrieve14CanUseThisNameEPDs",
    "_ZN16CNetInfoRetrieve15GetProfileCountEv",
    "_ZN16CNetInfoRetrieve16GetNameIndexInfoEP9NameIndexi",
    "_ZN16CNetInfoRetrieve18CanUseThisNameEditEPDsP10EnvInfoStr",
    "_ZN16CNetInfoRetrieve19GetInfoFromRegistryEiP10EnvInfoStrP14AdapterInfoStr",
    "_ZN16CNetInfoRetrieve21GetCurrentProfileInfoEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN8CNetDiag4PingEiPDs",
    "_ZN8CNetDiag8checksumEPti",
    "_ZN8CNetDiag14fill_icmp_dataEPci",
    "_ZN8CNetDiag18CheckURLConnectionEPDs",
    "_ZN8CNetDiag23CheckOutCableConnectionEP10EnvInfoStrP14AdapterInfoStri",
    "_ZN8CNetDiag23CheckOutHWEnableDisableEP10EnvInfoStrP14AdapterInfoStri",
    "_ZN8CNetDiag24CheckOutNetConnectStatusEP10EnvInfoStrP14AdapterInfoStri",
    "_ZN16CNetInfoRetrieve16GetTotalPrtCountEv",
    "_ZN16CNetInfoRetrieve20GetTotoalPrinterInfoERiP14PrinterInfostr",
    "_ZN10CCommonFtn12RunPrtWizardEv",
    "_ZN14CNetInfoManage11NormalSetupEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage18ApplySelectProfileERPvP10EnvInfoStrP14AdapterInfoStrS3_S5_",
    "_ZN14CNetInfoManage13CheckOSStatusEPDs",
    "_ZN14CNetInfoManage15FindSavedDeviceEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage15GetChangeStatusEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage17CheckAdapterExistEP10EnvInfoStrP14AdapterInfoStri",
    "_ZN14CNetInfoManage18MakeEndPartInIPTxtEv",
    "_ZN14CNetInfoManage19MakeDHCPPartInIPTxtEP10EnvInfoStrP14AdapterInfoStri",
    "_ZN14CNetInfoManage21MakeStaticPartInIPTxtEP10EnvInfoStrP14AdapterInfoStri",
    "_ZN14CNetInfoManage22MakeInitialPartInIPTxtEv",
    "_ZN14CNetInfoManage8GetOSVerEv",
    "_ZN14CNetInfoManage14ICSServerSetupEP10EnvInfoStrP14AdapterInfoStri",
    "_ZN14CNetInfoManage11ServerIPSetEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage14ICSClientSetupEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage19CheckServerIPChangeEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage25CheckServerIPChangeResultEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage19CheckClientIPChangeEP10EnvInfoStrP14AdapterInfoStr",
    "_ZN14CNetInfoManage6SetICFEP10EnvInfoStr",
    "_ZN12CWLanControl14StartPDServiceEv",
    "_ZN12CWLanControl14StopWZCServiceEv",
    "_ZN12CWLanControl15StartWZCServiceEv",
    "_ZN12CWLanControl14CheckWZCStatusEi",
    "_ZN12CWLanControl21CheckNebrinWLANStatusEv",
    "_ZN12CWLanControl18InstallWLANServiceEPDs",
    "_ZN12CWLanControl17DeleteWLANServiceEv",
    "_ZN12CWLanControl25MakeAdHocByExternalBinaryEi",
    "_ZN12CWLanControl17MakeOneClickAdHocERPvP10EnvInfoStr",
    "_ZN12CWLanControl4OnApEPDs",
    "_ZN10CCommonFtnC1Ev",
    "_ZN10CCommonFtnaSERKS_",
    "_ZN12CWLanControlC1Ev",
    "_ZN12CWLanControlaSERKS_",
    "_ZN14CNebrinCoreDllC1Ev",
    "_ZN15CRoamingControlaSERKS_",
    "_ZN6nebrin15InstallPlatformESt10shared_ptrINS_8platform8PlatformEE",
};

TEST(LibraryLoad, LoadsAndUnloadsRepeatedlyAndExportsTheBuiltMembers) {
  for (int round = 0; round < 5; ++round) {
    void* library = dlopen(NEBRIN_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const std::string& symbol : kBuiltMembers) {
      EXPECT_NE(dlsym(library, symbol.c_str()), nullptr) << symbol;
    }
    // Internal code stays hidden.
    EXPECT_EQ(dlsym(library, "_ZN6nebrin8platform7CurrentEv"), nullptr);
    EXPECT_EQ(dlclose(library), 0);
  }
}

}  // namespace
