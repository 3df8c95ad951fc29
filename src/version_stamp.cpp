// The four-part version, kept in the executable where FileVersionText reads it back.
extern "C" {
__attribute__((used)) const char orvanta_file_version[] = "ORVANTA_FILE_VERSION:" ORVANTA_VERSION;
}
