// NebrinCoreDll: the contract between the core library and its hosts.
// Four caller-owned records and eight exported classes. Record layouts are binding: field order,
// widths and natural alignment are checked below and must never change.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#if defined(NEBRINCOREDLL_BUILD)
#define NEBRIN_API __declspec(dllexport)
#elif defined(NEBRINCOREDLL_STATIC)
#define NEBRIN_API
#else
#define NEBRIN_API __declspec(dllimport)
#endif
// Text fields are 16-bit code units: wchar_t is 16 bits wide on Windows.
typedef wchar_t NebrinChar;
#else
#define NEBRIN_API __attribute__((visibility("default")))
typedef char16_t NebrinChar;
#endif

static_assert(sizeof(NebrinChar) == 2, "record text fields are 16-bit code units");
static_assert(sizeof(int) == 4, "record integers are 32-bit");

// Operating-system handle (for the wireless members, the protocol driver's device handle).
typedef void* NebrinHandle;

// The network configuration interface of the driver-installation members.
struct INetCfg;

// The published NDIS 802.11 enumerations named in the wireless members' signatures. A host that
// includes the system's ntddndis.h first gets the system's identical definitions.
#if !defined(_NTDDNDIS_)
typedef enum _NDIS_802_11_NETWORK_INFRASTRUCTURE {
  Ndis802_11IBSS,
  Ndis802_11Infrastructure,
  Ndis802_11AutoUnknown,
  Ndis802_11InfrastructureMax
} NDIS_802_11_NETWORK_INFRASTRUCTURE;

typedef enum _NDIS_802_11_AUTHENTICATION_MODE {
  Ndis802_11AuthModeOpen,
  Ndis802_11AuthModeShared,
  Ndis802_11AuthModeAutoSwitch,
  Ndis802_11AuthModeWPA,
  Ndis802_11AuthModeWPAPSK,
  Ndis802_11AuthModeWPANone,
  Ndis802_11AuthModeWPA2,
  Ndis802_11AuthModeWPA2PSK,
  Ndis802_11AuthModeMax
} NDIS_802_11_AUTHENTICATION_MODE;

typedef enum _NDIS_802_11_WEP_STATUS {
  Ndis802_11WEPEnabled,
  Ndis802_11Encryption1Enabled = Ndis802_11WEPEnabled,
  Ndis802_11WEPDisabled,
  Ndis802_11EncryptionDisabled = Ndis802_11WEPDisabled,
  Ndis802_11WEPKeyAbsent,
  Ndis802_11Encryption1KeyAbsent = Ndis802_11WEPKeyAbsent,
  Ndis802_11WEPNotSupported,
  Ndis802_11EncryptionNotSupported = Ndis802_11WEPNotSupported,
  Ndis802_11Encryption2Enabled,
  Ndis802_11Encryption2KeyAbsent,
  Ndis802_11Encryption3Enabled,
  Ndis802_11Encryption3KeyAbsent
} NDIS_802_11_WEP_STATUS;
#endif

// ---------------------------------------------------------------------------------------------
// Records. Text fields hold NUL-terminated UTF-16; the capacity counts the terminator.

// One profile's environment. Field names are the registry value names of the profile store.
struct EnvInfoStr {
  NebrinChar ProfileName[50];
  int bDefaultPrinterFlag;
  NebrinChar strPrinterName[200];
  int AdapterCount;  // valid entries at the start of the profile's 10 adapter records
  int IconIndex;
  int nProfileKey;   // profile number; -1 while never stored
  int nICSFlag;      // 0 none, 1 sharing host, 2 sharing client
  int bICFFlag;
  int bPrivateWlan;
  int bWLANWebKeyUse;
  NebrinChar strPublicDevGUID[100];
  NebrinChar strPrivateDevGUID[100];
  NebrinChar strWLANConnectionName[50];
  NebrinChar strWLANPassWord[50];
};

// The address settings of one adapter; a profile has an array of exactly 10.
struct AdapterInfoStr {
  NebrinChar DhcpEnabled[5];  // "yes" or "no"
  NebrinChar IpAddressList[50];
  NebrinChar GatewayList[50];
  NebrinChar SubnetMask[55];
  NebrinChar PrimaryWinsServer[50];
  NebrinChar SecondaryWinsServer[50];
  NebrinChar PrimaryDnsServer[50];
  NebrinChar SecondaryDnsServer[50];
  NebrinChar ConnectionName[50];
  NebrinChar DeviceDesc[100];
  NebrinChar MediaSubType[15];  // "line", "air" or "na"
  NebrinChar AdapterName[100];  // adapter GUID in braces
  NebrinChar Metric[32];
};

// One entry of the profile list.
struct NameIndex {
  int IconIndex;
  int nProfileKey;
  NebrinChar ProfileName[50];
};

// One installed printer.
struct PrinterInfostr {
  NebrinChar strPrinterName[100];
  int bIsDefault;
};

// Number of adapter records in every profile's array.
#define NEBRIN_ADAPTER_RECORDS 10

static_assert(offsetof(EnvInfoStr, ProfileName) == 0);
static_assert(offsetof(EnvInfoStr, bDefaultPrinterFlag) == 100);
static_assert(offsetof(EnvInfoStr, strPrinterName) == 104);
static_assert(offsetof(EnvInfoStr, AdapterCount) == 504);
static_assert(offsetof(EnvInfoStr, IconIndex) == 508);
static_assert(offsetof(EnvInfoStr, nProfileKey) == 512);
static_assert(offsetof(EnvInfoStr, nICSFlag) == 516);
static_assert(offsetof(EnvInfoStr, bICFFlag) == 520);
static_assert(offsetof(EnvInfoStr, bPrivateWlan) == 524);
static_assert(offsetof(EnvInfoStr, bWLANWebKeyUse) == 528);
static_assert(offsetof(EnvInfoStr, strPublicDevGUID) == 532);
static_assert(offsetof(EnvInfoStr, strPrivateDevGUID) == 732);
static_assert(offsetof(EnvInfoStr, strWLANConnectionName) == 932);
static_assert(offsetof(EnvInfoStr, strWLANPassWord) == 1032);
static_assert(sizeof(EnvInfoStr) == 1132 && alignof(EnvInfoStr) == 4);

static_assert(offsetof(AdapterInfoStr, DhcpEnabled) == 0);
static_assert(offsetof(AdapterInfoStr, IpAddressList) == 10);
static_assert(offsetof(AdapterInfoStr, GatewayList) == 110);
static_assert(offsetof(AdapterInfoStr, SubnetMask) == 210);
static_assert(offsetof(AdapterInfoStr, PrimaryWinsServer) == 320);
static_assert(offsetof(AdapterInfoStr, SecondaryWinsServer) == 420);
static_assert(offsetof(AdapterInfoStr, PrimaryDnsServer) == 520);
static_assert(offsetof(AdapterInfoStr, SecondaryDnsServer) == 620);
static_assert(offsetof(AdapterInfoStr, ConnectionName) == 720);
static_assert(offsetof(AdapterInfoStr, DeviceDesc) == 820);
static_assert(offsetof(AdapterInfoStr, MediaSubType) == 1020);
static_assert(offsetof(AdapterInfoStr, AdapterName) == 1050);
static_assert(offsetof(AdapterInfoStr, Metric) == 1250);
static_assert(sizeof(AdapterInfoStr) == 1314 && alignof(AdapterInfoStr) == 2);

static_assert(offsetof(NameIndex, IconIndex) == 0);
static_assert(offsetof(NameIndex, nProfileKey) == 4);
static_assert(offsetof(NameIndex, ProfileName) == 8);
static_assert(sizeof(NameIndex) == 108);

static_assert(offsetof(PrinterInfostr, strPrinterName) == 0);
static_assert(offsetof(PrinterInfostr, bIsDefault) == 200);
static_assert(sizeof(PrinterInfostr) == 204);

// ---------------------------------------------------------------------------------------------
// Exported classes. They hold no data except CWLanControl's one flag; every member works on
// records the caller owns, on the registry and on the live system. Members are defined as their
// subsystems are built; a declared member without a definition is not exported yet.

class NEBRIN_API CCommonFtn {
 public:
  CCommonFtn();
  CCommonFtn& operator=(const CCommonFtn&);

  int CheckAdapterExist(int, int, AdapterInfoStr*);  // always 1
  int CheckOSVersion();                                 // always 1
  int CheckSingleInstance(NebrinChar*);           // always 1
  void InitStructure(EnvInfoStr* env, AdapterInfoStr* adapters);
  int MakeMappingIndexArrayForGUI(int, int);            // always 1
  int RunPrtWizard();
};

class NEBRIN_API CICSManage {
 public:
  CICSManage();
  CICSManage& operator=(const CICSManage&);

  int ICSInstallAndUninstall(int, EnvInfoStr*, AdapterInfoStr*);  // always 1
};

class NEBRIN_API CNetDiag {
 public:
  CNetDiag();
  CNetDiag& operator=(const CNetDiag&);

  int CheckOutCableConnection(EnvInfoStr* env, AdapterInfoStr* adapters, int index);
  int CheckOutHWEnableDisable(EnvInfoStr* env, AdapterInfoStr* adapters, int index);
  int CheckOutNetConnectStatus(EnvInfoStr* env, AdapterInfoStr* adapters, int index);
  int CheckURLConnection(NebrinChar* url);
  int Ping(int count, NebrinChar* host);
  std::uint16_t checksum(std::uint16_t* words, int bytes);
  void fill_icmp_data(char* buffer, int bytes);
};

class NEBRIN_API CNetInfoManage {
 public:
  CNetInfoManage();
  CNetInfoManage& operator=(const CNetInfoManage&);

  int ApplySelectProfile(NebrinHandle& handle, EnvInfoStr* target, AdapterInfoStr* targetAdapters,
                         EnvInfoStr* current, AdapterInfoStr* currentAdapters);
  int CheckAdapterExist(EnvInfoStr* env, AdapterInfoStr* adapters, int index);
  int CheckAddressValid(NebrinChar*);  // always 1
  int CheckClientIPChange(EnvInfoStr* env, AdapterInfoStr* adapters);
  int CheckOSStatus(NebrinChar* processName);
  int CheckServerIPChange(EnvInfoStr* env, AdapterInfoStr* adapters);
  int CheckServerIPChangeResult(EnvInfoStr* env, AdapterInfoStr* adapters);
  int CountProfileKey();
  int DeleteAllProfile();
  int DeleteHKLMNebrinKey();
  int DeleteNebrinKey();
  int DeleteSelectProfile(int profileNumber);
  int DeleteSelectProfileAdapter(int profileNumber);
  int FindSavedDevice(EnvInfoStr* env, AdapterInfoStr* adapters);
  int GetChangeStatus(EnvInfoStr* env, AdapterInfoStr* adapters);
  int GetDHCPDNSAddress(AdapterInfoStr* adapters, NebrinChar* list, int index);
  int GetDHCPIP(int adapterIndex, int profileNumber, AdapterInfoStr* adapters);
  int GetDNSAddress(AdapterInfoStr* adapters, NebrinChar* list, int index);
  int GetOSVer();
  int ICSClientSetup(EnvInfoStr* env, AdapterInfoStr* adapters);
  int ICSServerSetup(EnvInfoStr* env, AdapterInfoStr* adapters, int enable);
  int MakeDHCPPartInIPTxt(EnvInfoStr* env, AdapterInfoStr* adapters, int index);
  int MakeEndPartInIPTxt();
  int MakeHKLMNebrinKey(EnvInfoStr* env);
  int MakeInitialPartInIPTxt();
  int MakeStaticPartInIPTxt(EnvInfoStr* env, AdapterInfoStr* adapters, int index);
  int NormalSetup(EnvInfoStr* env, AdapterInfoStr* adapters);
  int SaveNameOrPrinter(EnvInfoStr* env);
  int SaveProfileInfoToRegistry(EnvInfoStr* env, AdapterInfoStr* adapters, int newProfile);
  int SaveValueForEachAdapter(AdapterInfoStr* adapters, int profileNumber, int adapterIndex);
  int SaveValueForEachProfile(EnvInfoStr* env, int profileNumber);
  int ServerIPSet(EnvInfoStr* env, AdapterInfoStr* adapters);
  int SetICF(EnvInfoStr* env);
  int SetLastProfileNo(int profileNumber);
  int SetProfileCount();
};

class NEBRIN_API CNetInfoRetrieve {
 public:
  CNetInfoRetrieve();
  CNetInfoRetrieve& operator=(const CNetInfoRetrieve&);

  int CanUseThisName(NebrinChar* name);
  int CanUseThisNameEdit(NebrinChar* name, EnvInfoStr* env);
  int CheckInfoChangeStatus(EnvInfoStr* first, AdapterInfoStr* firstAdapters, EnvInfoStr* second,
                            AdapterInfoStr* secondAdapters);
  int GetCurrentProfileInfo(EnvInfoStr* env, AdapterInfoStr* adapters);
  int GetInfoFromRegistry(int profileNumber, EnvInfoStr* env, AdapterInfoStr* adapters);
  int GetNameIndexInfo(NameIndex* entries, int capacity);
  int GetProfileCount();
  int GetTotalPrtCount();
  int GetTotoalPrinterInfo(int& count, PrinterInfostr* printers);
  int GetWLANDeviceCount(EnvInfoStr* env, AdapterInfoStr* adapters);
  int IPRetrieve(EnvInfoStr* env, AdapterInfoStr* adapters);
};

class NEBRIN_API CRoamingControl {
 public:
  CRoamingControl& operator=(const CRoamingControl&);

  int CheckOutRoamingStatus();   // always 1
  int InstallRoamingDriver();    // always 1
  int UninstallRoamingDriver();  // always 1
};

class NEBRIN_API CWLanControl {
 public:
  CWLanControl();
  CWLanControl& operator=(const CWLanControl&);

  int AddWepKey(NebrinHandle device, int keyIndex, NebrinChar* key);
  int ChangeAPOrder(NebrinChar*);  // always 1
  int CheckNebrinWLANStatus();
  int CheckPDDriverExist();
  int CheckWZCStatus(int state);
  int DeleteWLANService();
  int Dissociate(NebrinHandle device);
  int GetINetCfg(INetCfg*& netCfg);
  int GetMaxRSSIValue(NebrinChar*);  // always 1
  int InstallNetComponent(const NebrinChar* componentId, const NebrinChar* infPath);
  int InstallPDDriver(NebrinChar* path);
  int InstallWLANService(NebrinChar* path);
  int MakeAdHocByExternalBinary(int mode);
  int MakeOneClickAdHoc(NebrinHandle& device, EnvInfoStr* env);
  int OnAp(NebrinChar* name);
  int OpenDevice(NebrinChar* adapterName, NebrinHandle& device);
  int ReleaseINetCfg(INetCfg* netCfg);
  int SetAuthenticationMode(NebrinHandle device, NDIS_802_11_AUTHENTICATION_MODE mode);
  int SetInfrastructureMode(NebrinHandle device, NDIS_802_11_NETWORK_INFRASTRUCTURE mode);
  int SetSsid(NebrinHandle device, NebrinChar* ssid);
  int SetWepStatus(NebrinHandle device, NDIS_802_11_WEP_STATUS status);
  int StartPDService();
  int StartWZCService();
  int StopWZCService();
  int SwitchToAdHoc(NebrinHandle device, NebrinChar* ssid, NebrinChar* key, int useWep);

  // -1 when StopWZCService last found the wireless configuration service running (set before the
  // stop is sent), 0 when it found it not active; nothing clears it when the service starts again.
  short bWZCStopped;
};

class NEBRIN_API CNebrinCoreDll {
 public:
  CNebrinCoreDll();
  CNebrinCoreDll& operator=(const CNebrinCoreDll&);
};
