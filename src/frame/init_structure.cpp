// Putting a profile record and its adapter records into their empty state.
#include "NebrinCoreDll.h"

namespace {

template <std::size_t N>
void Empty(NebrinChar (&field)[N]) {
  field[0] = 0;
}

}  // namespace

void CCommonFtn::InitStructure(EnvInfoStr* env, AdapterInfoStr* adapters) {
  // DhcpEnabled, MediaSubType and bWLANWebKeyUse keep their content: nothing reads them before an
  // operation gives them a value.
  if (adapters != nullptr) {
    for (int i = 0; i < NEBRIN_ADAPTER_RECORDS; ++i) {
      AdapterInfoStr& a = adapters[i];
      Empty(a.AdapterName);
      Empty(a.ConnectionName);
      Empty(a.DeviceDesc);
      Empty(a.GatewayList);
      Empty(a.IpAddressList);
      Empty(a.PrimaryWinsServer);
      Empty(a.SecondaryWinsServer);
      Empty(a.SubnetMask);
      Empty(a.PrimaryDnsServer);
      Empty(a.SecondaryDnsServer);
      Empty(a.Metric);
    }
  }
  if (env != nullptr) {
    Empty(env->strPrinterName);
    Empty(env->strPublicDevGUID);
    Empty(env->strPrivateDevGUID);
    Empty(env->ProfileName);
    Empty(env->strWLANConnectionName);
    Empty(env->strWLANPassWord);
    env->bDefaultPrinterFlag = 0;
    env->bICFFlag = 0;
    env->bPrivateWlan = 0;
    env->AdapterCount = 0;
    env->IconIndex = 0;
    env->nICSFlag = 0;
    env->nProfileKey = -1;
  }
}
