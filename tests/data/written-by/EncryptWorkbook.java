// Writes password-protected copies of two workbooks with Apache POI (Debian:
// libapache-poi-java): an .xlsx in Office's standard (AES) encryption, an .xls in RC4 CryptoAPI.
//   java EncryptWorkbook.java IN.xlsx OUT.xlsx IN.xls OUT.xls PASSWORD
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.file.Files;
import java.nio.file.Paths;
import org.apache.poi.hssf.record.crypto.Biff8EncryptionKey;
import org.apache.poi.hssf.usermodel.HSSFWorkbook;
import org.apache.poi.poifs.crypt.EncryptionInfo;
import org.apache.poi.poifs.crypt.EncryptionMode;
import org.apache.poi.poifs.crypt.Encryptor;
import org.apache.poi.poifs.filesystem.POIFSFileSystem;

public class EncryptWorkbook {
    public static void main(String[] args) throws Exception {
        final String password = args[4];
        try (POIFSFileSystem fs = new POIFSFileSystem()) {
            EncryptionInfo info = new EncryptionInfo(EncryptionMode.standard);
            Encryptor encryptor = info.getEncryptor();
            encryptor.confirmPassword(password);
            try (OutputStream package_ = encryptor.getDataStream(fs)) {
                package_.write(Files.readAllBytes(Paths.get(args[0])));
            }
            try (FileOutputStream out = new FileOutputStream(args[1])) {
                fs.writeFilesystem(out);
            }
        }
        try (InputStream in = new FileInputStream(args[2]);
             HSSFWorkbook workbook = new HSSFWorkbook(in)) {
            Biff8EncryptionKey.setCurrentUserPassword(password);
            try (FileOutputStream out = new FileOutputStream(args[3])) {
                workbook.write(out);
            }
            Biff8EncryptionKey.setCurrentUserPassword(null);
        }
    }
}
