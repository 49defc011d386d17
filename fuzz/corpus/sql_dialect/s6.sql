select * from ar where artototal > 0
