# Writes OUT, a C++ source holding the page's bundled script and its HTML as byte arrays, so an
# installed editor publishes without Node or the web/ folder.
function(bytes_of var file)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  set(${var} "${hex}" PARENT_SCOPE)
endfunction()
bytes_of(script ${SCRIPT})
bytes_of(page ${PAGE})
bytes_of(worker ${WORKER})
file(WRITE ${OUT} "#include \"pagefiles.h\"\n
namespace {
const unsigned char kScript[] = {${script}};
const unsigned char kPage[] = {${page}};
const unsigned char kWorker[] = {${worker}};
} // namespace
QByteArray PageFiles::script()
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(kScript), sizeof kScript);
}
QByteArray PageFiles::page()
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(kPage), sizeof kPage);
}
QByteArray PageFiles::serviceWorker()
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(kWorker), sizeof kWorker);
}
")
