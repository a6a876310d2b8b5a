// Host identification and version queries of the plug-in base.
#include "core/HostIdentity.h"
#include "core/IPlugBase.h"
#include "core/Trace.h"

void IPlugBase::SetHost(const char* name, int32_t version) {
    hostKind = kestrom::MatchHostName(name);
    hostVersion = version;
    char versionText[kestrom::kVersionTextSize];
    kestrom::FormatVersion(version, versionText);
    KESTROM_TRACE("IPlugBase::SetHost", "host_%sknown:%s:%s", hostKind == 0 ? "un" : "",
                  name ? name : "", versionText);
}

int IPlugBase::HostVersionNumber(bool asDecimal) {
    HostKind();  // identifies the host first, where the host layer does that
    return asDecimal ? kestrom::VersionAsDecimal(hostVersion) : hostVersion;
}

int IPlugBase::EffectVersionNumber(bool asDecimal) const {
    return asDecimal ? kestrom::VersionAsDecimal(effectVersion) : effectVersion;
}

void IPlugBase::HostVersionLabel(char* out, int outSize) {
    HostKind();
    kestrom::FormatVersion(hostVersion, out, outSize);
}

void IPlugBase::EffectVersionLabel(char* out, int outSize) const {
    kestrom::FormatVersion(effectVersion, out, outSize);
}

const char* IPlugBase::ApiName() { return kestrom::ApiKindName(ApiKind()); }

const char* IPlugBase::ArchitectureName() { return kestrom::ArchitectureName(); }
