// A test certificate authority and a server certificate it signed, for TLS servers on
// loopback. The server certificate names 127.0.0.1, ::1 and localhost, so clients that
// verify host names accept it once they trust the CA file.
//
// The files (PEM) are made at run time in a temporary directory, which is removed when
// the object is destroyed. Shared() makes one set per process on first use (thread-safe)
// and keeps it to the end of the process.
#ifndef SORVANEL_TESTS_SUPPORT_TEST_CERTIFICATES_H_
#define SORVANEL_TESTS_SUPPORT_TEST_CERTIFICATES_H_

#include <string>

namespace sorvanel::test {

class TestCertificates {
 public:
  // The names a server certificate covers unless told otherwise.
  static constexpr const char* kLoopbackNames = "IP:127.0.0.1,IP:::1,DNS:localhost";

  // Makes a fresh CA and a server certificate for `serverNames` (subject alternative
  // names in OpenSSL's notation; other names make a certificate that loopback clients
  // reject for its host name). ok() tells whether it worked.
  explicit TestCertificates(const char* serverNames = kLoopbackNames);
  ~TestCertificates();
  TestCertificates(const TestCertificates&) = delete;
  TestCertificates& operator=(const TestCertificates&) = delete;

  static const TestCertificates& Shared();

  bool ok() const { return ok_; }
  const std::string& caFile() const { return caFile_; }      // the CA certificate to trust
  const std::string& certFile() const { return certFile_; }  // server certificate
  const std::string& keyFile() const { return keyFile_; }    // server private key
  const std::string& directory() const { return directory_; }

 private:
  bool ok_ = false;
  std::string directory_, caFile_, certFile_, keyFile_;
};

}  // namespace sorvanel::test

#endif  // SORVANEL_TESTS_SUPPORT_TEST_CERTIFICATES_H_
