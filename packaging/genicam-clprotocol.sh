# GenTL producers find CLProtocol libraries through GENICAM_CLPROTOCOL: the QN-5200 cameras'
# library is in /usr/lib/qn-control-tool/CLProtocol/Linux64_x64, its GenApi description beside.
case ":${GENICAM_CLPROTOCOL:-}:" in
  *:/usr/lib/qn-control-tool/CLProtocol:*) ;;
  *) export GENICAM_CLPROTOCOL="${GENICAM_CLPROTOCOL:+$GENICAM_CLPROTOCOL:}/usr/lib/qn-control-tool/CLProtocol" ;;
esac
