#include "tests/support/test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace sorvanel::test {

namespace {

struct KeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertDeleter {
  void operator()(X509* cert) const { X509_free(cert); }
};
struct ExtensionDeleter {
  void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
};
struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyDeleter>;
using CertPtr = std::unique_ptr<X509, CertDeleter>;

KeyPtr MakeKey() { return KeyPtr(EVP_EC_gen("P-256")); }

bool AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
  std::unique_ptr<X509_EXTENSION, ExtensionDeleter> extension(
      X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  return extension && X509_add_ext(cert, extension.get(), -1) == 1;
}

// A certificate for `key` with common name `name`, signed by `issuerKey` under
// `issuer` (itself when null), valid from a day ago for ten years.
CertPtr MakeCertificate(EVP_PKEY* key, const char* name, X509* issuer, EVP_PKEY* issuerKey,
                        long serial, bool authority, const char* serverNames = nullptr) {
  CertPtr cert(X509_new());
  if (!cert) return nullptr;
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -24L * 3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 10L * 365 * 24 * 3600);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* subject = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(name), -1, -1, 0);
  X509* signer = issuer != nullptr ? issuer : cert.get();
  X509_set_issuer_name(cert.get(), X509_get_subject_name(signer));
  const bool extensionsOk =
      authority
          ? AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE") &&
                AddExtension(cert.get(), signer, NID_key_usage, "critical,keyCertSign,cRLSign") &&
                AddExtension(cert.get(), signer, NID_subject_key_identifier, "hash")
          : AddExtension(cert.get(), signer, NID_basic_constraints, "CA:FALSE") &&
                AddExtension(cert.get(), signer, NID_key_usage,
                             "critical,digitalSignature,keyEncipherment") &&
                AddExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth") &&
                AddExtension(cert.get(), signer, NID_subject_alt_name, serverNames) &&
                AddExtension(cert.get(), signer, NID_authority_key_identifier, "keyid:always");
  if (!extensionsOk || X509_sign(cert.get(), issuerKey, EVP_sha256()) == 0) return nullptr;
  return cert;
}

bool WriteCert(const std::string& path, X509* cert) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "w"));
  return file && PEM_write_X509(file.get(), cert) == 1;
}

bool WriteKey(const std::string& path, EVP_PKEY* key) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "w"));
  return file && PEM_write_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
}

}  // namespace

TestCertificates::TestCertificates(const char* serverNames) {
  std::error_code error;
  std::string pattern = (std::filesystem::temp_directory_path(error) / "sorvanel-ca-XXXXXX");
  if (error || ::mkdtemp(pattern.data()) == nullptr) return;
  directory_ = pattern;
  caFile_ = directory_ + "/ca.pem";
  certFile_ = directory_ + "/server.pem";
  keyFile_ = directory_ + "/server-key.pem";

  KeyPtr caKey = MakeKey();
  KeyPtr serverKey = MakeKey();
  if (!caKey || !serverKey) return;
  CertPtr ca = MakeCertificate(caKey.get(), "Sorvanel Test CA", nullptr, caKey.get(), 1, true);
  if (!ca) return;
  CertPtr server =
      MakeCertificate(serverKey.get(), "localhost", ca.get(), caKey.get(), 2, false, serverNames);
  ok_ = server && WriteCert(caFile_, ca.get()) && WriteCert(certFile_, server.get()) &&
        WriteKey(keyFile_, serverKey.get());
}

TestCertificates::~TestCertificates() {
  if (directory_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

const TestCertificates& TestCertificates::Shared() {
  static const TestCertificates shared;
  return shared;
}

}  // namespace sorvanel::test
